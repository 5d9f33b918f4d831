// Conversions between the program's UTF-8 strings and the 8-bit Windows-1252
// text that older files keep.
#pragma once

#include <string>
#include <string_view>

// Every byte becomes one character. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of
// the same number, so that any byte string survives a round trip.
std::string Cp1252ToUtf8(std::string_view text);

// Characters the code page has no byte for, and bytes that do not form
// well-formed UTF-8, become '?'.
std::string Utf8ToCp1252(std::string_view text);
