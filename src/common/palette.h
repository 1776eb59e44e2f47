// The 16-colour console palette the display windows and the coloured captions draw with
// (QBColor 0..15): the classic dark half 0..7 and its light counterparts 8..15, as 0xRRGGBB.
#pragma once

#include <array>
#include <cstdint>

namespace pqwave {

inline constexpr std::array<std::uint32_t, 16> kConsolePalette = {
    0x000000,  // 0 black
    0x000080,  // 1 blue
    0x008000,  // 2 green
    0x008080,  // 3 cyan
    0x800000,  // 4 red
    0x800080,  // 5 magenta
    0x808000,  // 6 brown (dark yellow)
    0xC0C0C0,  // 7 light grey
    0x808080,  // 8 dark grey
    0x0000FF,  // 9 light blue
    0x00FF00,  // 10 light green
    0x00FFFF,  // 11 light cyan
    0xFF0000,  // 12 light red
    0xFF00FF,  // 13 light magenta
    0xFFFF00,  // 14 yellow
    0xFFFFFF,  // 15 white
};

inline std::uint32_t consoleColour(int index) {
    return index >= 0 && index < 16 ? kConsolePalette[static_cast<std::size_t>(index)] : 0;
}

}  // namespace pqwave
