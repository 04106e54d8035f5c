// The musician reading the manual-dump prompt: which front-panel dump of the
// instrument a definition's manual template asks for. This table is the one
// place where the test meets the definitions' own words (their template
// names); everything else comes from the instruments' profiles.
#pragma once

#include <cctype>
#include <cstring>
#include <string>

struct PanelAction {
    const char* product;
    const char* templateName;  // compared ignoring case
    const char* action;        // a PanelActions() name of the profile
};

inline constexpr PanelAction kPanelActions[] = {
    {"DX7", "32 voices - start the voice bulk dump on the DX7 (see its help)", "voice bank"},
    {"DX7", "Current voice - select a voice on the DX7 with SYS INFO AVAIL on", "voice"},
    {"D-50", "Whole memory - hold DATA TRANSFER, press KEY MODE (bulk dump), then confirm", "bulk dump"},
    {"Juno-106", "Current patch - select the patch on the Juno-106", "current patch"},
    {"Juno-106", "128 patches - select every patch in turn on the Juno-106", "all patches"},
    {"JX-8P", "Current tone - select the tone on the JX-8P", "current tone"},
    {"JX-8P", "32 tones - select every tone in turn on the JX-8P", "all tones"},
    {"MKS-70", "Patches and tones - start the bulk dump on the MKS-70 (see its help)", "bulk dump"},
    {"Tempest", "Current sound - send the sound being played from the Tempest (see its help)", "current sound"},
    {"Tempest", "Flash sound - send a sound stored in the Tempest from its panel (see its help)", "flash sound"},
    {"AX80", "64 programs - start the program dump on the AX80 (see its help)", "all programs"},
    {"Super Bass Station",
     "Current program - on the Super Bass Station press SELECT/MODE to SAVE, choose SS, press +/SAVE",
     "current program"},
    {"Alpha Juno", "64 tones - start the tone bulk dump on the Alpha Juno (see its help)", "tone bulk dump"},
    {"MKS-50", "64 tones - start the tone bulk dump on the MKS-50 (see its help)", "tone bulk dump"},
    {"MKS-50", "64 patches - start the patch bulk dump on the MKS-50 (see its help)", "patch bulk dump"},
    {"JP-8000", "Whole memory - start the bulk dump on the JP-8000 (see its help)", "bulk dump"},
    {"JP-8000", "Whole memory, ended by a pause - start the bulk dump on the JP-8000 (see its help)", "bulk dump"},
    {"AX80", "64 programs, counted - start the program dump on the AX80 (see its help)", "all programs"},
    {"Tempest", "Flash sounds - send sounds stored in the Tempest from its panel, one after another (see its help)",
     "flash sound"},
};

inline const char* PanelActionFor(const std::string& product, const std::string& templateName) {
    auto same = [](const std::string& x, const char* y) {
        if (x.size() != std::strlen(y)) return false;
        for (size_t i = 0; i < x.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(x[i])) != std::tolower(static_cast<unsigned char>(y[i]))) return false;
        return true;
    };
    for (const PanelAction& entry : kPanelActions)
        if (product == entry.product && same(templateName, entry.templateName) && *entry.action) return entry.action;
    return nullptr;
}
