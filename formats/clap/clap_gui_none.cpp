// A build without the editor: the plug-in offers no gui extension.
#include "formats/clap/clap_gui_seam.h"

const void* ClapGuiExtension(ClapPlugin&, const char*) {
  return nullptr;
}

void ClapGuiDestroy(ClapPlugin&) {}

void ClapGuiOnMainThread(ClapPlugin&) {}
