// Conversions between the program's UTF-8 strings and the 8-bit Windows-1252
// text that older files keep.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Every byte becomes one character. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of
// the same number, so that any byte string survives a round trip.
std::string Cp1252ToUtf8(std::string_view text);

// Characters the code page has no byte for, and bytes that do not form
// well-formed UTF-8, become '?'.
std::string Utf8ToCp1252(std::string_view text);

// Decodes the well-formed UTF-8 sequence that starts at text[i] into cp and
// returns its length; 0 when none starts there (stray continuation byte,
// overlong form, surrogate, past U+10FFFF, cut short).
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& cp);
