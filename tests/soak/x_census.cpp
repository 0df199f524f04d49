#include "tests/soak/x_census.h"

#include <X11/Xutil.h>
#include <dirent.h>
#include <unistd.h>

#include <cstdio>

namespace {

void CountTree(Display* display, Window window, Census& census) {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return;
  for (unsigned i = 0; i < count; ++i) {
    census.windows += 1;
    XClassHint hint{};
    if (XGetClassHint(display, children[i], &hint)) {
      census.classes[hint.res_class != nullptr ? hint.res_class : ""] += 1;
      if (hint.res_name != nullptr) XFree(hint.res_name);
      if (hint.res_class != nullptr) XFree(hint.res_class);
    }
    CountTree(display, children[i], census);
  }
  if (children != nullptr) XFree(children);
}

}  // namespace

std::string Census::Describe() const {
  std::string text =
      std::to_string(fileDescriptors) + " descriptors, " + std::to_string(windows) + " windows";
  for (const auto& [name, count] : classes) text += ", " + std::to_string(count) + " of class '" + name + "'";
  return text;
}

Census TakeCensus(Display* display) {
  Census census;
  XSync(display, False);
  CountTree(display, DefaultRootWindow(display), census);
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (const dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') census.fileDescriptors += 1;
    closedir(dir);
    census.fileDescriptors -= 1;  // the directory being read
  }
  return census;
}

long ResidentBytes() {
  long size = 0;
  long resident = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  if (std::fscanf(statm, "%ld %ld", &size, &resident) != 2) resident = 0;
  std::fclose(statm);
  return resident * sysconf(_SC_PAGESIZE);
}
