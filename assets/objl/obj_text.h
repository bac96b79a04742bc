#pragma once

// The word and number rules shared by the model and the material read. Blanks
// are the space and the tab only; a carriage return is an ordinary character.

#include <string>
#include <string_view>
#include <vector>

namespace objl {

// The first word of the line, or empty for an empty or blank line.
std::string HeadWord(std::string_view line);

// Everything after the head word and the blanks behind it, without blanks at
// the end; inner blanks and a final carriage return stay.
std::string RestOfLine(std::string_view line);

// Splits at every occurrence of `delimiter`. Two delimiters in a row give an
// empty field, one delimiter at the very end gives none.
std::vector<std::string> SplitFields(std::string_view text, std::string_view delimiter);

// Cuts trailing carriage returns and line feeds, unless that would leave
// nothing.
std::string TrimLineBreaks(std::string_view text);

// A decimal number at the start of the text (leading white space, optional
// sign, digits, optional point and exponent; whatever follows is ignored),
// read in double precision and rounded to float. False when the text does not
// start with a number or the value lies outside the float range.
bool ParseFloat(std::string_view text, float* value);

// A signed decimal integer at the start of the text, as above. False when
// there is none or it does not fit 32 bits.
bool ParseInt(std::string_view text, int* value);

// The element the reference names: "1" the first, "-1" the last. False when
// the text is no number or names no element of the list.
template <typename T>
bool ResolveIndex(const std::vector<T>& list, std::string_view text, T* element) {
  int n = 0;
  if (!ParseInt(text, &n)) return false;
  long long position = n < 0 ? static_cast<long long>(list.size()) + n : static_cast<long long>(n) - 1;
  if (position < 0 || position >= static_cast<long long>(list.size())) return false;
  *element = list[static_cast<size_t>(position)];
  return true;
}

}  // namespace objl
