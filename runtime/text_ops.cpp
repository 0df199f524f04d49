#include "runtime/text_ops.h"

#include <cctype>

namespace morvox {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool TextEqual(const std::string& a, const std::string& b) {
  return a == b;
}

bool TextEqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return prefix.size() <= text.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return suffix.size() <= text.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool StartsWithSeparator(const std::string& text) {
  return !text.empty() && IsSeparator(text.front());
}
bool EndsWithSeparator(const std::string& text) {
  return !text.empty() && IsSeparator(text.back());
}

std::string EnsureTrailingSeparator(const std::string& text) {
  return EndsWithSeparator(text) ? text : text + '\\';
}

std::string EnsureLeadingSeparator(const std::string& text) {
  return StartsWithSeparator(text) ? text : '\\' + text;
}

std::string DropLeadingSeparator(const std::string& text) {
  return StartsWithSeparator(text) ? text.substr(1) : text;
}

int LastSeparator(const std::string& text) {
  for (std::size_t i = text.size(); i > 0; --i) {
    if (IsSeparator(text[i - 1])) return static_cast<int>(i - 1);
  }
  return -1;
}

std::string FolderPart(const std::string& text) {
  const int last = LastSeparator(text);
  return last < 0 ? std::string() : text.substr(0, static_cast<std::size_t>(last) + 1);
}

std::string FileNamePart(const std::string& text) {
  const int last = LastSeparator(text);
  return last < 0 ? text : text.substr(static_cast<std::size_t>(last) + 1);
}

std::string Extension(const std::string& text) {
  const std::size_t dot = text.rfind('.');
  return dot == std::string::npos ? std::string() : text.substr(dot);
}

}  // namespace morvox
