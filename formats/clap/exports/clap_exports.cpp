// The module's one exported symbol: the CLAP entry record.
#include "formats/clap/clap_entry.h"

namespace {

bool CLAP_ABI EntryInit(const char* path) {
  try {
    return clapentry::Init(path);
  } catch (...) {
    return false;
  }
}

void CLAP_ABI EntryDeinit() {
  try {
    clapentry::Deinit();
  } catch (...) {
  }
}

const void* CLAP_ABI EntryFactory(const char* id) {
  try {
    return clapentry::Factory(id);
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

extern "C" CLAP_EXPORT const clap_plugin_entry_t clap_entry{CLAP_VERSION, EntryInit, EntryDeinit,
                                                            EntryFactory};
