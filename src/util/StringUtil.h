#pragma once
// Byte-string helpers shared by the whole program. They work on single bytes in the
// C locale, take their input by value or constant reference and return new strings.
#include <cstdint>
#include <string>
#include <vector>

// The text without its leading and trailing white space (blank, tab, line feed,
// vertical tab, form feed, carriage return). White space only gives an empty text.
std::string Trim(const std::string& text);

// Decimal text of n, for example "-12".
std::string IntToText(std::int64_t n);

// Decimal text of n with fill characters put in front until it is at least width
// bytes long; the fill goes before a minus sign ("0-5"). Width 0 or less: no filling.
std::string IntToTextPadded(std::int64_t n, char fill, int width);

// The path ending in a separator: "/" is appended unless the path is empty or
// already ends in "/", a backslash or ":".
std::string WithTrailingSlash(const std::string& path);

// Pieces of text between occurrences of sep. Empty pieces between separators and
// before a leading separator are kept; a trailing separator adds no empty piece.
// An empty text or an empty separator gives an empty list.
std::vector<std::string> Split(const std::string& text, const std::string& sep);
