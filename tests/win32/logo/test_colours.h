// The palette of the logo tests' GIF streams: index i is kColours[i].
#pragma once

#include <windows.h>

#include <vector>

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);

enum ColourIndex : uint8_t { blue = 0, red = 1, green = 2, yellow = 3 };

inline const std::vector<COLORREF>& test_palette() {
    static const std::vector<COLORREF> colours = {kBlue, kRed, kGreen, kYellow};
    return colours;
}
