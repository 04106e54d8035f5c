// Texts as their code units in hexadecimal (bytes for UTF-8, units for
// UTF-16 and wide text), so that a failing comparison shows what came out.
#pragma once

#include <cstdio>
#include <string>

template <typename Text>
std::string HexUnits(const Text& text) {
    std::string out;
    char unit[8];
    for (auto c : text) {
        if (sizeof c == 1)
            std::snprintf(unit, sizeof unit, "%02X ", static_cast<unsigned>(static_cast<unsigned char>(c)));
        else
            std::snprintf(unit, sizeof unit, "%04X ", static_cast<unsigned>(c));
        out += unit;
    }
    return out;
}
