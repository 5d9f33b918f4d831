// Pictures as text, for pixel checks a reader can follow: a bitmap becomes
// rows of '#' (pixels of one colour) and '.' (anything else), compared with
// the rows the test writes out.
//
//     EXPECT_EQ(TextPicture(b), TextRows({"#..",
//                                         ".#.",
//                                         "..#"}));
#pragma once

#include "toolkit/graphics/Graphics.h"

#include <initializer_list>
#include <string>

inline std::string TextPicture(const TBitmap& b, TColor c = clBlack)
{
    const std::uint32_t word = ColorToPixel(ColorToRGB(c));
    std::string s;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x)
            s += (b.ScanLine(y)[x] == word) ? '#' : '.';
        s += '\n';
    }
    return s;
}

inline std::string TextRows(std::initializer_list<const char*> rows)
{
    std::string s;
    for (const char* r : rows)
        s += std::string(r) + "\n";
    return s;
}
