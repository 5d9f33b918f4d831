// Conversions between numbers and text.
#pragma once

#include <string>

// A whole number in decimal, or hexadecimal after "$" or "0x", with an
// optional sign and surrounding blanks. Decimal numbers must lie in the int
// range; hexadecimal ones may use all 32 bits ("$FFFFFFFF" is -1), so that
// what IntToHex writes reads back. Anything else throws EConvertError
// "'<text>' is not a valid integer value".
int StrToInt(const std::string& s);

std::string IntToStr(int value);

// Upper-case hexadecimal of the 32-bit pattern, at least `digits` digits.
std::string IntToHex(int value, int digits);

// Separators used by number patterns.
struct TFormatSettings {
    std::string DecimalSeparator = ".";
    std::string ThousandSeparator = ",";

    // The C library's current LC_NUMERIC separators. A locale without a
    // thousands separator gets "," beside a "." decimal point, "." otherwise.
    static TFormatSettings FromLocale();
};

// Formats a number by a pattern: "0" is a digit always shown, "#" a digit
// shown only when significant, "." the place of the decimal separator, and a
// "," before it turns on grouping by thousands. The value is rounded half
// away from zero (on its shortest decimal form, so 2.675 gives 2.68) to the
// decimals the pattern has. A negative value gets a leading "-" unless it
// rounds to zero. Other characters are copied, and text in single or double
// quotes is copied without interpretation. An empty pattern gives the
// general form with up to 15 significant digits. Not-a-number and infinities
// give "NAN", "INF" and "-INF".
std::string FormatFloat(const std::string& pattern, double value);
std::string FormatFloat(const std::string& pattern, double value, const TFormatSettings& settings);
