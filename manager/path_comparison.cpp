#include "manager/path_comparison.h"

#include <vector>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// Without the blanks around it and one pair of quotes a hand-made entry may
// carry.
std::string Unquoted(const std::string& path) {
    std::string text = Trimmed(path);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = Trimmed(text.substr(1, text.size() - 2));
    return text;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string ComparablePath(const std::string& path) {
    std::string text = Unquoted(path);
    for (char& c : text)
        if (c == '/') c = '\\';
    if (StartsWith(text, "\\\\?\\UNC\\"))
        text = "\\\\" + text.substr(8);
    else if (StartsWith(text, "\\\\?\\"))
        text = text.substr(4);

    // The part that ".." never takes back: a drive ("c:"), a network name's
    // server and share, or the root of the current drive.
    std::string root;
    size_t rest = 0;
    if (StartsWith(text, "\\\\")) {
        root = "\\\\";
        rest = 2;
    } else if (text.size() >= 2 && text[1] == ':') {
        root = text.substr(0, 2);
        rest = 2;
    }
    if (rest < text.size() && text[rest] == '\\') {
        root += '\\';
        ++rest;
    }

    std::vector<std::string> steps;
    size_t start = rest;
    while (start <= text.size()) {
        size_t end = text.find('\\', start);
        if (end == std::string::npos) end = text.size();
        std::string step = text.substr(start, end - start);
        // Windows drops the dots and blanks that end a name; "..." stays a
        // name of its own only in theory.
        if (step != "." && step != "..") {
            while (!step.empty() && (step.back() == '.' || IsBlank(step.back()))) step.pop_back();
        }
        if (step == "..") {
            if (!steps.empty()) steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        start = end + 1;
    }

    std::string result = root;
    for (size_t i = 0; i < steps.size(); ++i) result += (i == 0 ? "" : "\\") + steps[i];
    for (char& c : result) c = Folded(c);
    return result;
}

bool SamePath(const std::string& a, const std::string& b, const SameFileFunction& sameFile) {
    const std::string left = ComparablePath(a);
    const std::string right = ComparablePath(b);
    if (left.empty() || right.empty()) return false;
    if (left == right) return true;
    return sameFile && sameFile(Unquoted(a), Unquoted(b));
}

uint64_t PathDigest(const std::string& path) {
    uint64_t digest = 0xCBF29CE484222325ull;
    for (unsigned char c : ComparablePath(path)) {
        digest ^= c;
        digest *= 0x100000001B3ull;
    }
    return digest;
}
