// The module's entry and its plug-in factory. clap_entry itself is defined
// in exports/clap_exports.cpp, the only symbol the module exports.
#pragma once

#include "formats/clap/abi/core.h"

namespace clapentry {

bool Init(const char* path);
void Deinit();
const void* Factory(const char* id);
// How many inits wait for their deinit (tests read it).
int InitCount();

}  // namespace clapentry
