// Colours and pixel words that a failing check prints in hex, 0x00C0C0C0,
// instead of as a decimal number:
//
//     EXPECT_EQ(Hex(canvas.Pixels(1, 1)), Hex(clSilver));
#pragma once

#include <cstdint>
#include <iomanip>
#include <ostream>

struct HexColor {
    std::uint32_t Value = 0;
    friend constexpr bool operator==(HexColor, HexColor) = default;
};

constexpr HexColor Hex(std::uint32_t value) { return {value}; }
// A TColor: system colours print as their full 32 bits (0x8000000F).
constexpr HexColor Hex(std::int32_t value) { return {static_cast<std::uint32_t>(value)}; }

inline void PrintTo(HexColor c, std::ostream* os)
{
    const auto flags = os->flags();
    const auto fill = os->fill();
    *os << "0x" << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << c.Value;
    os->flags(flags);
    os->fill(fill);
}
