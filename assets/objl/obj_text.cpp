#include "assets/objl/obj_text.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

namespace objl {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The white space that the C library's number conversions skip.
bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipDigits(std::string_view text, size_t at) {
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at;
}

size_t SkipCSpace(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && IsCSpace(text[at])) ++at;
  return at;
}

size_t FirstNonBlank(std::string_view line, size_t from) {
  while (from < line.size() && IsBlank(line[from])) ++from;
  return from;
}

size_t FirstBlank(std::string_view line, size_t from) {
  while (from < line.size() && !IsBlank(line[from])) ++from;
  return from;
}

// Length of the decimal mantissa and exponent starting at `at`, or 0 when no
// digit starts there. An "e" without digits after it is not part of it.
size_t DecimalLength(std::string_view text, size_t at) {
  size_t end = SkipDigits(text, at);
  bool digits = end > at;
  if (end < text.size() && text[end] == '.') {
    size_t fraction = SkipDigits(text, end + 1);
    digits = digits || fraction > end + 1;
    end = fraction;
  }
  if (!digits) return 0;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    size_t exponent = end + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    size_t exponentEnd = SkipDigits(text, exponent);
    if (exponentEnd > exponent) end = exponentEnd;
  }
  return end - at;
}

}  // namespace

std::string HeadWord(std::string_view line) {
  size_t start = FirstNonBlank(line, 0);
  return std::string(line.substr(start, FirstBlank(line, start) - start));
}

std::string RestOfLine(std::string_view line) {
  size_t start = FirstNonBlank(line, FirstBlank(line, FirstNonBlank(line, 0)));
  if (start >= line.size()) return std::string();
  size_t end = line.size();
  while (IsBlank(line[end - 1])) --end;  // stops at `start`, which is no blank
  return std::string(line.substr(start, end - start));
}

std::vector<std::string> SplitFields(std::string_view text, std::string_view delimiter) {
  std::vector<std::string> fields;
  std::string field;
  const size_t width = delimiter.size();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.substr(i, width) == delimiter) {
      if (!field.empty()) {
        fields.push_back(field);
        field.clear();
        i += width - 1;
      } else {
        fields.emplace_back();
      }
    } else if (i + width >= text.size()) {
      field += text.substr(i, width);
      fields.push_back(field);
      break;
    } else {
      field += text[i];
    }
  }
  return fields;
}

std::string TrimLineBreaks(std::string_view text) {
  size_t last = text.find_last_not_of("\r\n");
  if (last == std::string_view::npos) return std::string(text);
  return std::string(text.substr(0, last + 1));
}

bool ParseFloat(std::string_view text, float* value) {
  size_t at = SkipCSpace(text);
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  size_t length = DecimalLength(text, at);
  if (length == 0) return false;
  double parsed = 0.0;
  const char* first = text.data() + at;
  auto [end, error] = std::from_chars(first, first + length, parsed, std::chars_format::general);
  if (error != std::errc() || end != first + length) return false;
  // Beyond the float range the value would turn infinite, which no geometry
  // or colour can use.
  if (std::fabs(parsed) > FLT_MAX) return false;
  *value = static_cast<float>(negative ? -parsed : parsed);
  return true;
}

bool ParseInt(std::string_view text, int* value) {
  size_t at = SkipCSpace(text);
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  size_t end = SkipDigits(text, at);
  if (end == at) return false;
  // Accumulate toward the sign so INT_MIN is reachable without overflow.
  long long number = 0;
  for (; at < end; ++at) {
    int digit = text[at] - '0';
    number = number * 10 + (negative ? -digit : digit);
    if (number > INT_MAX || number < INT_MIN) return false;
  }
  *value = static_cast<int>(number);
  return true;
}

}  // namespace objl
