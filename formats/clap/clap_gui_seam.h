// The seam between the CLAP plug-in and its GUI side. The plug-in
// (clap_plugin_calls.cpp) asks these functions; formats/clap/clap_gui.cpp
// defines them with the editor, and clap_gui_none.cpp, a build without a
// GUI, defines them to offer nothing (the CMake list takes one of the two).
//
// What the GUI side may use of ClapPlugin (formats/clap/clap_plugin.h):
// - Host(): the host record, for its gui, timer-support, posix-fd-support
//   and params (request_flush) extensions;
// - PublishedValue(id), PublishedCount(), MeterLevel(): the settings and
//   the meter as the sound last took them, from any thread;
// - PushUiEdit({kBegin | kValue | kEnd, id, plain value}) on the main
//   thread: the editor's edits. Process or Flush applies them to the sound
//   and sends the host CLAP_EVENT_PARAM_GESTURE_BEGIN, _PARAM_VALUE and
//   _GESTURE_END events, so the host records them; PushUiEdit itself asks
//   the host for a flush;
// - Script(): the effect's parameter texts (never its sound);
// - the field `gui`: the GUI side's state for the instance, its own to
//   create and to delete in ClapGuiDestroy.
#pragma once

class ClapPlugin;

// [main] The extension record for `id` among gui, timer-support and
// posix-fd-support; null for any other id or when there is no GUI.
const void* ClapGuiExtension(ClapPlugin& plugin, const char* id);
// [main] The instance goes: its window and every registration with the
// host end here, before the plug-in's record is freed.
void ClapGuiDestroy(ClapPlugin& plugin);
// [main] The host's on_main_thread call, after the plug-in's own work.
void ClapGuiOnMainThread(ClapPlugin& plugin);
