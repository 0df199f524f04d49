#include <gtest/gtest.h>

#include "runtime/morvox.h"
#include "runtime/text_ops.h"

namespace {

struct Script : TMorvox {};

std::string Format(Script& s, const std::string& format, std::initializer_list<double> values) {
  s.SetString(50, format);
  s.FormatToString(51, 50, values);
  return s.GetString(51);
}

}  // namespace

TEST(Strings, EntriesAreCreatedOnFirstUseAndCounted) {
  Script s;
  EXPECT_EQ(s.stringCount, 0);
  EXPECT_EQ(s.GetString(2.9999), "");
  EXPECT_EQ(s.stringCount, 1);
  EXPECT_EQ(s.SetString(3, "three"), 3);
  EXPECT_EQ(s.GetString(3), "three");
  EXPECT_EQ(s.stringCount, 1);
  s.OnReset();
  EXPECT_EQ(s.stringCount, 0);
  EXPECT_TRUE(s.StringTable.empty());
}

TEST(Strings, FormatConvertsScriptValuesLikeC) {
  Script s;
  EXPECT_EQ(Format(s, "%.2f", {-3.456}), "-3.46");
  EXPECT_EQ(Format(s, "%d", {2.9999}), "3");
  EXPECT_EQ(Format(s, "[%5.1f|%-4d|%x]", {1.25, 7, 255}), "[  1.2|7   |ff]");
  s.SetString(10017, "Arial");
  EXPECT_EQ(Format(s, "font %s!", {10017}), "font Arial!");
  EXPECT_EQ(Format(s, "%c%c", {72, 105}), "Hi");
  EXPECT_EQ(Format(s, "%f %f", {1}), "1.000000 0.000000");  // missing values read 0
}

TEST(Strings, FormatDropsWhatIsNotAConversion) {
  Script s;
  EXPECT_EQ(Format(s, "50%", {1}), "50");
  EXPECT_EQ(Format(s, "gain %% wet", {1}), "gain et");
  EXPECT_EQ(Format(s, "%ld!", {5}), "d!");  // the length modifier is a letter
  EXPECT_EQ(Format(s, "a%nb", {5}), "ab");
  EXPECT_EQ(Format(s, "%*d|%1$d", {5, 6}), "|");  // would read arguments never passed
}

TEST(Strings, FormatOutputIsBoundedByItsBuffers) {
  Script s;
  EXPECT_EQ(Format(s, std::string(600, 'a'), {}).size(), 511u);
  EXPECT_EQ(Format(s, "%300d", {1}).size(), 255u);
  EXPECT_EQ(Format(s, "%300d%300d", {1, 2}).size(), 510u);
  EXPECT_EQ(Format(s, "%300d%300d%300d", {1, 2, 3}).size(), 511u);
  EXPECT_EQ(Format(s, "%.400f", {1}).size(), 255u);
}

TEST(TextOps, SeparatorsAndParts) {
  using namespace morvox;
  EXPECT_TRUE(TextEqualIgnoringCase("Arial", "aRIAL"));
  EXPECT_FALSE(TextEqualIgnoringCase("Arial", "Arial "));
  EXPECT_TRUE(StartsWith("vorn_delay_gfx\\bg.png", "vorn"));
  EXPECT_FALSE(EndsWith("png", ".png"));
  EXPECT_FALSE(StartsWithSeparator(""));
  EXPECT_FALSE(EndsWithSeparator(""));
  EXPECT_EQ(EnsureTrailingSeparator("a/"), "a/");
  EXPECT_EQ(EnsureTrailingSeparator("a"), "a\\");
  EXPECT_EQ(EnsureLeadingSeparator("a"), "\\a");
  EXPECT_EQ(DropLeadingSeparator("//a"), "/a");
  EXPECT_EQ(LastSeparator("a/b\\c"), 3);
  EXPECT_EQ(LastSeparator("abc"), -1);
  EXPECT_EQ(FolderPart("dir\\file.png"), "dir\\");
  EXPECT_EQ(FolderPart("file.png"), "");
  EXPECT_EQ(FileNamePart("dir/file.png"), "file.png");
  EXPECT_EQ(FileNamePart("file.png"), "file.png");
  EXPECT_EQ(Extension("a.tar.gz"), ".gz");
  EXPECT_EQ(Extension("noext"), "");
}
