// Text operations of the runtime. Backslash and slash both count as path
// separators everywhere.
#pragma once

#include <string>

namespace morvox {

bool IsSeparator(char c);
bool TextEqual(const std::string& a, const std::string& b);
bool TextEqualIgnoringCase(const std::string& a, const std::string& b);
bool StartsWith(const std::string& text, const std::string& prefix);
bool EndsWith(const std::string& text, const std::string& suffix);
bool StartsWithSeparator(const std::string& text);
bool EndsWithSeparator(const std::string& text);
std::string EnsureTrailingSeparator(const std::string& text);  // appends a backslash if needed
std::string EnsureLeadingSeparator(const std::string& text);   // prepends a backslash if needed
std::string DropLeadingSeparator(const std::string& text);     // removes one
int LastSeparator(const std::string& text);                    // -1 when none
std::string FolderPart(const std::string& text);               // up to and including the last separator
std::string FileNamePart(const std::string& text);             // after the last separator
std::string Extension(const std::string& text);                // from the last "." inclusive; empty if none

}  // namespace morvox
