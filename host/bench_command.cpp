#include "host/bench_command.h"

#include <cstdio>

namespace vornhost {

int RunBench(const BenchOptions&) {
  std::fprintf(stderr, "vornhost: bench is not available yet\n");
  return 2;
}

}  // namespace vornhost
