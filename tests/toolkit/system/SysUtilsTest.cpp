#include "toolkit/system/SysUtils.h"

#include "toolkit/system/Errors.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace {

std::string ConvertError(const std::string& text)
{
    try {
        StrToInt(text);
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "no error";
}

}  // namespace

TEST(SysUtils, StrToIntAccepts)
{
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("  42 "), 42);
    EXPECT_EQ(StrToInt("+17"), 17);
    EXPECT_EQ(StrToInt("-17"), -17);
    EXPECT_EQ(StrToInt("007"), 7);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ(StrToInt("$ff"), 255);
    EXPECT_EQ(StrToInt("0x1A"), 26);
    EXPECT_EQ(StrToInt("-$10"), -16);
    // Hexadecimal is a 32-bit pattern, so IntToHex's output reads back.
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("$" + IntToHex(-123456, 8)), -123456);
    EXPECT_EQ(StrToInt("0x80000000"), std::numeric_limits<int>::min());
}

TEST(SysUtils, StrToIntRejectsWithExactMessage)
{
    EXPECT_EQ(ConvertError("12a"), "'12a' is not a valid integer value");
    EXPECT_EQ(ConvertError(""), "'' is not a valid integer value");
    EXPECT_EQ(ConvertError("  "), "'  ' is not a valid integer value");
    for (const char* bad : {"-", "+", "$", "0x", "- 5", "1 2", "1.5", "1e3", "++1", "$G", "0x-1", "٣",
                            "2147483648", "-2147483649", "99999999999999999999", "$100000000", "0x0000000100000000"})
        EXPECT_EQ(ConvertError(bad), std::string("'") + bad + "' is not a valid integer value") << bad;
}

TEST(SysUtils, IntToStrAndHex)
{
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(0x1A2B3C4D, 2), "1A2B3C4D");
    EXPECT_EQ(IntToHex(0, 0), "0");
    EXPECT_EQ(IntToHex(-1, 4), "FFFFFFFF");
    EXPECT_EQ(IntToHex(0xABC, 8), "00000ABC");
}

TEST(SysUtils, FormatFloatPatterns)
{
    const TFormatSettings us;
    EXPECT_EQ(FormatFloat(",0.00", 1234.567, us), "1,234.57");
    EXPECT_EQ(FormatFloat("00", 5, us), "05");
    EXPECT_EQ(FormatFloat("000", 7, us), "007");
    EXPECT_EQ(FormatFloat("00", 123, us), "123");
    EXPECT_EQ(FormatFloat("0.###", 1.5, us), "1.5");
    EXPECT_EQ(FormatFloat("0.###", 2, us), "2");
    EXPECT_EQ(FormatFloat("#,##0", 1234567, us), "1,234,567");
    EXPECT_EQ(FormatFloat("#,##0", 123, us), "123");
    EXPECT_EQ(FormatFloat(",0.000", 999999.9999, us), "1,000,000.000");
    EXPECT_EQ(FormatFloat("#.##", 0.5, us), ".5");
    EXPECT_EQ(FormatFloat("#", 0, us), "");
    EXPECT_EQ(FormatFloat("0", 0.4, us), "0");
    EXPECT_EQ(FormatFloat(".00", 12.5, us), "12.50");
    // Literals and quoted text are copied.
    EXPECT_EQ(FormatFloat("0.0 'mm.#0'", 3.25, us), "3.3 mm.#0");
    EXPECT_EQ(FormatFloat("00-00", 1234, us), "12-34");
}

TEST(SysUtils, FormatFloatRoundsHalvesAwayFromZero)
{
    const TFormatSettings us;
    EXPECT_EQ(FormatFloat("0", 2.5, us), "3");
    EXPECT_EQ(FormatFloat("0", -2.5, us), "-3");
    EXPECT_EQ(FormatFloat("0.00", 0.125, us), "0.13");
    EXPECT_EQ(FormatFloat("0.00", 2.675, us), "2.68");
    EXPECT_EQ(FormatFloat("0.00", 1.005, us), "1.01");
    EXPECT_EQ(FormatFloat("0.00", 9.995, us), "10.00");
    EXPECT_EQ(FormatFloat("0.000", 0.0005, us), "0.001");
    // No negative zero.
    EXPECT_EQ(FormatFloat(",0.000", -0.0004, us), "0.000");
    EXPECT_EQ(FormatFloat("0.00", -0.0, us), "0.00");
    EXPECT_EQ(FormatFloat(",0.00", -1234.5, us), "-1,234.50");
}

TEST(SysUtils, FormatFloatExtremes)
{
    const TFormatSettings us;
    EXPECT_EQ(FormatFloat(",0.00", 1e15, us), "1,000,000,000,000,000.00");
    EXPECT_EQ(FormatFloat("0", 1e20, us), "100000000000000000000");
    EXPECT_EQ(FormatFloat("0", std::numeric_limits<double>::max(), us).size(), 309u);
    EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::denorm_min(), us), "0.00");
    EXPECT_EQ(FormatFloat("0.00", std::nan(""), us), "NAN");
    EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::infinity(), us), "INF");
    EXPECT_EQ(FormatFloat("0.00", -std::numeric_limits<double>::infinity(), us), "-INF");
    EXPECT_EQ(FormatFloat("", 1.5, us), "1.5");
    EXPECT_EQ(FormatFloat("", -0.00125, us), "-0.00125");
    EXPECT_EQ(FormatFloat("", 1e20, us), "1E+20");
    EXPECT_EQ(FormatFloat("", 0, us), "0");
}

TEST(SysUtils, FormatFloatSeparators)
{
    TFormatSettings eu;
    eu.DecimalSeparator = ",";
    eu.ThousandSeparator = ".";
    EXPECT_EQ(FormatFloat(",0.00", 1234.567, eu), "1.234,57");

    // The C locale has no thousands separator: "," goes with its ".".
    const char* saved = std::setlocale(LC_NUMERIC, nullptr);
    std::string restore = saved ? saved : "C";
    std::setlocale(LC_NUMERIC, "C");
    TFormatSettings c = TFormatSettings::FromLocale();
    EXPECT_EQ(c.DecimalSeparator, ".");
    EXPECT_EQ(c.ThousandSeparator, ",");
    EXPECT_EQ(FormatFloat(",0.00", 1234.567), "1,234.57");
    std::setlocale(LC_NUMERIC, restore.c_str());
}
