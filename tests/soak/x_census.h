// What a process holds of the window system and the operating system, for
// before/after comparisons: open file descriptors (each X connection is
// one) and the windows on the display with their WM_CLASS names.
#pragma once

#include <X11/Xlib.h>

#include <map>
#include <string>

struct Census {
  int fileDescriptors = 0;
  int windows = 0;
  std::map<std::string, int> classes;  // WM_CLASS class name -> windows of it

  bool operator==(const Census&) const = default;
  std::string Describe() const;
};

// Counts through `display`, a connection the caller keeps for the whole run.
Census TakeCensus(Display* display);

// Resident memory of this process in bytes.
long ResidentBytes();
