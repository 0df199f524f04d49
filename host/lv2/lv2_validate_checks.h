// The checks `vornhost validate` runs on LV2 plug-ins beyond the audio
// ones: what LV2 hosts hand a plug-in that a careless plug-in trusts. Each
// answers "" for a pass, "P…" for a pass with a finding to report, "S…"
// for a skip (the rest says why), or what failed; each runs in a process
// of its own, so a crash is a failure.
#pragma once

#include <string>

#include "host/lv2/lv2_plugin_host.h"

namespace vornhost {

// Saved state restored into a fresh instance saves the same again.
std::string CheckLv2StateRoundTrip(const std::string& reference);
// A state of a foreign type is refused or changes nothing; damaged values
// (cut short, against an unreadable page) are survived, output finite.
std::string CheckLv2ForeignState(const std::string& reference);
// Atom sequences whose inner sizes lie (events, objects, properties past
// the sequence's end, against an unreadable page) and atoms of another
// type on a sequence port are survived, output finite.
std::string CheckLv2LyingAtoms(const std::string& reference);
// run() before activate(): no crash, no allocation, finite output.
std::string CheckLv2RunBeforeActivate(const std::string& reference);
// Two instances in one process: one's output does not depend on the other.
std::string CheckLv2TwoInstances(const std::string& reference, unsigned seed);
// A burst, deactivate, activate, silence: nothing of the burst comes out.
std::string CheckLv2ActivateForgets(const std::string& reference);
// Run, restore A, deactivate, restore B, activate: it sounds and saves B
// (A and B: two presets, or the controls at their extremes).
std::string CheckLv2LastRestoreWins(const std::string& reference);
// The worst run() right after a restore at 192 kHz (64 and 32 frames)
// against the block's time: reported, and a failure where the plug-in
// claims lv2:hardRTCapable. Timed in the thread's processor time; each
// of 15 restores counts the slowest run of the 0.1 s after it, and the
// median restore is the result (one busy moment of the machine is not).
std::string CheckLv2RunAroundRestore(const std::string& reference);
// With the host's X error handler set: the X11 UI opened on a window of
// the host's and closed, the plug-in freed and unloaded, then an X error
// of the host's reaches the host's handler, without a crash.
std::string CheckLv2UnloadAfterUi(const std::string& reference);
// The X11 UI: instantiate, port events, idles and cleanup on a display
// (no writes without input; idle answers non-zero once the parent window
// is gone) and without one (no crash).
std::string CheckLv2X11Ui(const std::string& reference);

}  // namespace vornhost
