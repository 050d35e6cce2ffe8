#pragma once

// Hungarian alphabetical order (cs after c, á with a, ...), with letter case
// ignored as everywhere in the find syntax. Keys are made per query and never
// stored, so a different library version cannot corrupt a file.

#include <QString>

#include <string>
#include <string_view>

namespace tvx::data {

// <0, 0, >0; text equal but for letter case compares equal.
int compareText(std::string_view a, std::string_view b);
// The order of two single characters in the same alphabet (letter case
// ignored, a before á before b): <0, 0, >0.
int compareCharacters(char32_t a, char32_t b);
// Appends a byte key whose memcmp order is the order above; the key ends
// with a 0 byte, which occurs nowhere else in it.
void appendSortKey(const QString &text, std::string &out);

}  // namespace tvx::data
