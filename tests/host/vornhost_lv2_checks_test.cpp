// The LV2 checks of `vornhost validate` around activation, restores and
// unloading, on two small echoes (fixture_lv2): each check passes the
// sound one and fails the faulty one with a message that says what went
// wrong. Only the fixture's bundle is on LV2_PATH.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/host/test_support.h"

namespace {

using vornhost_test::Outcome;
using vornhost_test::Vornhost;

class VornhostLv2Checks : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("LV2_PATH", FIXTURE_LV2_PATH, 1); }
  static std::string Line(const std::string& out, const std::string& check) {
    for (const char* word : {"PASS  ", "FAIL  ", "SKIP  "}) {
      const std::size_t at = out.find(word + check);
      if (at != std::string::npos) return out.substr(at, out.find('\n', at) - at);
    }
    return "(no line for " + check + ")";
  }
};

TEST_F(VornhostLv2Checks, ASoundPlugInPassesThem) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
  const Outcome r = Vornhost({"validate", "urn:fenmoor:test:echo#sound"});
  for (const char* check : {"activate forgets the past", "last restore wins", "run() after a restore in time",
                            "unload after the UI"}) {
    EXPECT_EQ(Line(r.out, check).rfind("PASS", 0), 0u) << Line(r.out, check) << "\n" << r.out << r.err;
  }
}

TEST_F(VornhostLv2Checks, AFaultyPlugInFailsThemSayingWhy) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
  const Outcome r = Vornhost({"validate", "urn:fenmoor:test:echo#faulty"});
  EXPECT_EQ(r.status, 1);
  const struct {
    const char* check;
    const char* message;
  } expected[] = {
      {"activate forgets the past", "after deactivate and activate, silence in gives "},
      {"last restore wins",
       "restore, deactivate, restore, activate (preset \"Long\" then preset \"Short\"): it saves the first "
       "state"},
      {"run() after a restore in time",
       "over the block's budget though lv2:hardRTCapable: 64 frames at 192 kHz: "},
      {"unload after the UI", "the plug-in "},  // crashed in the host's handler's place
  };
  for (const auto& e : expected) {
    const std::string line = Line(r.out, e.check);
    EXPECT_EQ(line.rfind("FAIL", 0), 0u) << line << "\n" << r.out << r.err;
    EXPECT_NE(line.find(e.message), std::string::npos) << line;
  }
}

}  // namespace
