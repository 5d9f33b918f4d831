#include "toolkit/system/SysUtils.h"

#include "toolkit/system/Errors.h"

#include <charconv>
#include <clocale>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

// ------------------------------------------------------------ integers

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

[[noreturn]] void ThrowNotInteger(const std::string& s)
{
    throw EConvertError("'" + s + "' is not a valid integer value");
}

}  // namespace

int StrToInt(const std::string& s)
{
    std::size_t i = 0, end = s.size();
    while (i < end && IsBlank(s[i]))
        ++i;
    while (end > i && IsBlank(s[end - 1]))
        --end;

    bool negative = false;
    if (i < end && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';

    bool hex = false;
    if (i < end && s[i] == '$') {
        hex = true;
        ++i;
    } else if (end - i >= 2 && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == end)
        ThrowNotInteger(s);

    // The magnitude is collected wide and checked digit by digit, so no
    // length of input can overflow it.
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    const unsigned base = hex ? 16 : 10;
    for (; i < end; ++i) {
        int d = hex ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (d < 0)
            ThrowNotInteger(s);
        magnitude = magnitude * base + static_cast<unsigned>(d);
        if (magnitude > limit)
            ThrowNotInteger(s);
    }
    // Hexadecimal is a 32-bit pattern; the sign negates it modulo 2^32.
    auto bits = static_cast<std::uint32_t>(magnitude);
    if (negative)
        bits = 0u - bits;
    return static_cast<int>(bits);
}

std::string IntToStr(int value)
{
    return std::to_string(value);
}

std::string IntToHex(int value, int digits)
{
    static const char Hex[] = "0123456789ABCDEF";
    auto bits = static_cast<std::uint32_t>(value);
    std::string text;
    do {
        text.insert(text.begin(), Hex[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    if (digits > static_cast<int>(text.size()))
        text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    return text;
}

// ------------------------------------------------------ number patterns

TFormatSettings TFormatSettings::FromLocale()
{
    TFormatSettings settings;
    if (const std::lconv* lc = std::localeconv()) {
        if (lc->decimal_point && *lc->decimal_point)
            settings.DecimalSeparator = lc->decimal_point;
        if (lc->thousands_sep && *lc->thousands_sep)
            settings.ThousandSeparator = lc->thousands_sep;
        else
            settings.ThousandSeparator = settings.DecimalSeparator == "." ? "," : ".";
    }
    return settings;
}

namespace {

// A non-negative decimal number 0.d1d2d3... x 10^point: `point` is the
// number of digits before the decimal point (zero or negative for values
// below 1). An empty digit string is zero.
struct DecimalDigits {
    std::string digits;
    int point = 0;

    bool IsZero() const { return digits.find_first_not_of('0') == std::string::npos; }
    char Digit(int index) const
    {
        return index >= 0 && index < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(index)] : '0';
    }
};

// The magnitude of a finite value to 15 significant digits: what a double
// is good for, and what makes 2.675 round as it reads.
DecimalDigits ToDecimal(double value)
{
    DecimalDigits d;
    value = std::fabs(value);
    if (value == 0.0)
        return d;
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    if (ec != std::errc())
        return d;
    const char* p = buffer;
    for (; p != end && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            d.digits += *p;
    int exponent = 0;
    if (p != end)
        std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
    d.point = exponent + 1;
    return d;
}

// Rounds half away from zero so that `decimals` digits stay after the point.
void RoundTo(DecimalDigits& d, int decimals)
{
    long keep = static_cast<long>(d.point) + decimals;
    if (keep >= static_cast<long>(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (!up)
        return;
    std::size_t i = d.digits.size();
    while (i > 0 && d.digits[i - 1] == '9')
        d.digits[--i] = '0';
    if (i == 0) {
        d.digits.insert(d.digits.begin(), '1');
        ++d.point;
    } else {
        ++d.digits[i - 1];
    }
}

struct PatternShape {
    int intPlaces = 0;    // '0' and '#' before the decimal point
    int minInt = 0;       // integer digits always shown: places from the first '0' on
    int maxDec = 0;       // '0' and '#' after the decimal point
    int minDec = 0;       // decimals always shown: places up to the last '0'
    bool grouping = false;
    std::size_t point = std::string::npos;  // index of the decimal point
};

// Calls f(index, char) for each pattern character outside quotes.
template <class F>
void ForEachCode(const std::string& pattern, F f)
{
    char quote = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else {
            f(i, c);
        }
    }
}

PatternShape Analyse(const std::string& pattern)
{
    PatternShape shape;
    bool seenZero = false;
    int decPlace = 0;
    ForEachCode(pattern, [&](std::size_t i, char c) {
        bool inInteger = shape.point == std::string::npos;
        if (c == '.' && inInteger) {
            shape.point = i;
        } else if (c == ',' && inInteger) {
            shape.grouping = true;
        } else if (c == '0' || c == '#') {
            if (inInteger) {
                ++shape.intPlaces;
                seenZero = seenZero || c == '0';
                if (seenZero)
                    ++shape.minInt;
            } else {
                ++decPlace;
                shape.maxDec = decPlace;
                if (c == '0')
                    shape.minDec = decPlace;
            }
        }
    });
    return shape;
}

std::string General(double value, const TFormatSettings& settings)
{
    DecimalDigits d = ToDecimal(value);
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        return "0";
    std::string text = value < 0 ? "-" : "";
    const int count = static_cast<int>(d.digits.size());
    if (d.point > 15 || d.point < -4) {
        text += d.digits[0];
        if (count > 1)
            text += settings.DecimalSeparator + d.digits.substr(1);
        int exponent = d.point - 1;
        text += exponent < 0 ? "E-" : "E+";
        text += std::to_string(exponent < 0 ? -exponent : exponent);
        return text;
    }
    if (d.point <= 0)
        text += "0";
    for (int i = 0; i < d.point; ++i)
        text += d.Digit(i);
    if (count > d.point) {
        text += settings.DecimalSeparator;
        for (int i = std::min(d.point, 0); i < count; ++i)
            if (i >= d.point)
                text += d.Digit(i);
    }
    return text;
}

}  // namespace

std::string FormatFloat(const std::string& pattern, double value)
{
    return FormatFloat(pattern, value, TFormatSettings::FromLocale());
}

std::string FormatFloat(const std::string& pattern, double value, const TFormatSettings& settings)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (pattern.empty())
        return General(value, settings);

    const PatternShape shape = Analyse(pattern);
    DecimalDigits d = ToDecimal(value);
    RoundTo(d, shape.maxDec);

    // Integer digits, at least minInt of them.
    std::string integer;
    for (int i = 0; i < d.point; ++i)
        integer += d.Digit(i);
    if (static_cast<int>(integer.size()) < shape.minInt)
        integer.insert(0, static_cast<std::size_t>(shape.minInt) - integer.size(), '0');

    // Decimals, trailing zeros dropped down to minDec.
    std::string fraction;
    for (int j = 0; j < shape.maxDec; ++j)
        fraction += d.Digit(d.point + j);
    while (static_cast<int>(fraction.size()) > shape.minDec && fraction.back() == '0')
        fraction.pop_back();

    std::string text = value < 0 && !d.IsZero() ? "-" : "";
    const int intCount = static_cast<int>(integer.size());

    // Appends integer digit number `fromRight` (0 = units) with its group
    // separator.
    auto putInteger = [&](int fromRight) {
        text += integer[static_cast<std::size_t>(intCount - 1 - fromRight)];
        if (shape.grouping && fromRight > 0 && fromRight % 3 == 0)
            text += settings.ThousandSeparator;
    };
    // Digits the pattern has no place for go with the first place.
    int place = 0;  // integer places seen so far
    auto putIntegerPlace = [&] {
        int fromRight = shape.intPlaces - 1 - place;
        if (place == 0)
            for (int r = intCount - 1; r > fromRight; --r)
                putInteger(r);
        if (fromRight < intCount)
            putInteger(fromRight);
        ++place;
    };
    auto putAllInteger = [&] {
        for (int r = intCount - 1; r >= 0; --r)
            putInteger(r);
    };

    int decPlace = 0;
    char quote = 0;
    bool integerDone = false;  // digits placed when the pattern has no integer places
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                text += c;
            continue;
        }
        bool inInteger = shape.point == std::string::npos || i < shape.point;
        if (c == '\'' || c == '"') {
            quote = c;
        } else if (i == shape.point) {
            if (shape.intPlaces == 0 && !integerDone) {
                putAllInteger();
                integerDone = true;
            }
            if (!fraction.empty())
                text += settings.DecimalSeparator;
        } else if (c == '0' || c == '#') {
            if (inInteger) {
                putIntegerPlace();
            } else {
                if (decPlace < static_cast<int>(fraction.size()))
                    text += fraction[static_cast<std::size_t>(decPlace)];
                ++decPlace;
            }
        } else if (c == ',' && inInteger) {
            // Only a switch for grouping.
        } else {
            text += c;
        }
    }
    if (shape.intPlaces == 0 && !integerDone)
        putAllInteger();
    return text;
}
