// ClapGui: the GUI side of one CLAP instance while the host has its editor
// created: the editor and the loop that paces it. The gui, timer-support
// and posix-fd-support records (clap_gui.cpp, behind clap_gui_seam.h) keep
// one in ClapPlugin::gui between create and destroy. [main thread]
#pragma once

#include <memory>

#include "formats/clap/clap_editor.h"
#include "formats/clap/clap_gui_loop.h"

class ClapPlugin;

class ClapGui {
 public:
  explicit ClapGui(ClapPlugin& plugin);
  ~ClapGui();  // the loop's registrations end before the editor goes
  ClapGui(const ClapGui&) = delete;
  ClapGui& operator=(const ClapGui&) = delete;

  // One tick of the host's loop: the editor's idle, and the host told once
  // when the window went with its parent.
  void Tick();

  ClapPlugin& plugin;
  ClapEditor editor;
  ClapGuiLoop loop;
  bool closedSaid = false;  // the host was told the window is gone
};
