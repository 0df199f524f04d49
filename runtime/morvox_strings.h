// CMorvoxStrings: the script's numbered strings and the image file names,
// and the formatted-print built-in.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>

#include "runtime/morvox_description.h"

class CMorvoxStrings : public CMorvoxDescription {
 public:
  // Output limits of FormatToString, terminators included.
  static constexpr std::size_t kFormatOutputSize = 512;
  static constexpr std::size_t kConversionSize = 256;

  // The entry of string number ToIndex(number), created empty if absent.
  std::string& GetString(double number);
  // Assigns the entry (creating it) and answers the number.
  double SetString(double number, const std::string& text);
  // printf-style formatting of script values into string `destination`,
  // with the format taken from string `format`; answers `destination`.
  double FormatToString(double destination, double format, std::initializer_list<double> values);

  std::map<std::int32_t, std::string> StringTable;
  std::map<std::int32_t, std::string> FileNameTable;  // image number → file name
  double stringCount = 0.0;

 protected:
  void ClearStrings();

 private:
  void RefreshCount() { stringCount = static_cast<double>(StringTable.size()); }
};
