// The module services on Windows: the module's own file name, the log in
// the current drive's root folder, and native separators.
#include <gtest/gtest.h>

#include "runtime/module_files.h"
#include "runtime/module_platform.h"

namespace platform = morvox::platform;

TEST(ModulePlatform, NamesTheModuleThatHoldsTheCode) {
  // Linked into a program, the code's module is the program itself.
  const std::string path = platform::ModuleFileName();
  ASSERT_GT(path.size(), 4u);
  EXPECT_LE(path.size(), 260u);
  EXPECT_EQ(path.substr(path.size() - 4), ".exe");
  EXPECT_EQ(path.find('/'), std::string::npos);
  const std::string folder = morvox::ModuleFolder();
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_EQ(path.rfind(folder, 0), 0u);
}

TEST(ModulePlatform, LogsInTheRootFolderAndUsesBackslashes) {
  EXPECT_EQ(platform::LogFilePath(), "\\trell.log.txt");
  EXPECT_EQ(platform::NativePath("a/b\\c/d.png"), "a\\b\\c\\d.png");
  EXPECT_EQ(morvox::ResolvePath("/pictures/knob.png"), morvox::ModuleFolder() + "pictures\\knob.png");
}
