#include "runtime/morvox_strings.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "runtime/script_value.h"

std::string& CMorvoxStrings::GetString(double number) {
  std::string& entry = StringTable[morvox::ToIndex(number)];
  RefreshCount();
  return entry;
}

double CMorvoxStrings::SetString(double number, const std::string& text) {
  StringTable[morvox::ToIndex(number)] = text;
  RefreshCount();
  return number;
}

void CMorvoxStrings::ClearStrings() {
  StringTable.clear();
  stringCount = 0.0;
}

namespace {

bool IsLetter(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// Appends at most what still fits in a buffer of `limit` characters
// including the terminator.
void AppendBounded(std::string& out, const char* text, std::size_t limit) {
  const std::size_t room = limit - 1 - out.size();
  out.append(text, std::min(std::strlen(text), room));
}

}  // namespace

double CMorvoxStrings::FormatToString(double destination, double format,
                                      std::initializer_list<double> values) {
  const std::string pattern = GetString(format);  // a copy: the table may change below
  const double* next = values.begin();
  auto take = [&]() { return next != values.end() ? *next++ : 0.0; };

  std::string out;
  out.reserve(kFormatOutputSize);
  std::size_t i = 0;
  while (i < pattern.size() && out.size() < kFormatOutputSize - 1) {
    if (pattern[i] != '%') {
      out.push_back(pattern[i++]);
      continue;
    }
    std::size_t end = i + 1;
    while (end < pattern.size() && !IsLetter(pattern[end])) ++end;
    if (end >= pattern.size()) break;  // unfinished conversion ends the output
    std::string conversion = pattern.substr(i, end - i + 1);
    i = end + 1;
    // '*' and '$' would make the C formatter read arguments that were never
    // passed; such a conversion prints nothing.
    const bool safe = conversion.find_first_of("*$") == std::string::npos;
    char piece[kConversionSize];
    piece[0] = '\0';
    switch (conversion.back()) {
      case 'e':
      case 'f':
      case 'g':
      case 'E':
      case 'G': {
        const double value = take();
        if (safe) std::snprintf(piece, sizeof piece, conversion.c_str(), value);
        break;
      }
      case 'd':
      case 'i':
      case 'o':
      case 'u':
      case 'x':
      case 'X':
      case 'c': {
        const int value = morvox::ToIndex(take());
        if (safe) std::snprintf(piece, sizeof piece, conversion.c_str(), value);
        break;
      }
      case 's': {
        const std::string text = GetString(take());
        if (safe) std::snprintf(piece, sizeof piece, conversion.c_str(), text.c_str());
        break;
      }
      default:
        break;  // not a conversion: dropped, takes no value
    }
    AppendBounded(out, piece, kFormatOutputSize);
  }
  SetString(destination, out);
  return destination;
}
