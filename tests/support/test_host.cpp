#include "tests/support/test_host.h"

namespace {
thread_local TestHost* current = nullptr;
}

void TestHost::Use() {
  current = this;
}

VstIntPtr VSTCALLBACK TestHost::Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr value, void*, float) {
  TestHost* host = current;
  if (host == nullptr) return 0;
  host->opcodes.push_back(opcode);
  switch (opcode) {
    case audioMasterVersion:
      return host->version;
    case audioMasterGetTime:
      host->timeFilters.push_back(value);
      return host->hasTimeInfo ? reinterpret_cast<VstIntPtr>(&host->timeInfo) : 0;
    default:
      return 0;
  }
}
