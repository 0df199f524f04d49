// The gui, timer-support and posix-fd-support extensions of a CLAP
// instance. Each instance keeps a ClapGuiSlot: the link its audio side
// shares with the editor, and the editor with its loop while the host has
// one created. The instance answers its get_extension with
// ClapGuiExtension(id) and defines ClapGuiSlotOf. [main thread] all of it,
// but the link's audio half.
#pragma once

#include <memory>

#include "formats/clap/abi/core.h"
#include "formats/clap/clap_gui_link.h"

class ClapGui;
class ClapGuiLoop;

struct ClapGuiSlot {
  explicit ClapGuiSlot(const clap_host_t* host);
  ~ClapGuiSlot();  // destroys an editor the host left open
  ClapGuiSlot(const ClapGuiSlot&) = delete;
  ClapGuiSlot& operator=(const ClapGuiSlot&) = delete;

  const clap_host_t* host;
  ClapGuiLink link;
  std::unique_ptr<ClapGui> gui;
  std::unique_ptr<ClapGuiLoop> loop;
  bool closedSaid = false;  // the host was told the window is gone
};

// The instance's slot; defined by the instance.
ClapGuiSlot& ClapGuiSlotOf(const clap_plugin_t* plugin);

// The extension record for CLAP_EXT_GUI, CLAP_EXT_TIMER_SUPPORT or
// CLAP_EXT_POSIX_FD_SUPPORT, else null.
const void* ClapGuiExtension(const char* id);
