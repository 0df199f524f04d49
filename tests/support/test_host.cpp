#include "tests/support/test_host.h"

namespace {
thread_local TestHost* current = nullptr;
}

void TestHost::Use() {
  current = this;
}

VstIntPtr VSTCALLBACK TestHost::Callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                                         float opt) {
  TestHost* host = current;
  if (host == nullptr) return 0;
  host->opcodes.push_back(opcode);
  switch (opcode) {
    case audioMasterBeginEdit:
    case audioMasterAutomate:
    case audioMasterEndEdit:
      host->edits.push_back({opcode, index, opt, host->processing});
      return 1;
    case audioMasterVersion:
      return host->version;
    case audioMasterGetTime:
      host->timeFilters.push_back(value);
      return host->hasTimeInfo ? reinterpret_cast<VstIntPtr>(&host->timeInfo) : 0;
    default:
      return 0;
  }
}
