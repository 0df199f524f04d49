// MorvoxBridge: the 29 plain callbacks through which the host adapter reaches
// the script object. Every entry takes the adapter first and finds the
// script through its `script` field. A null entry makes the adapter skip the
// call and answer 0.
#pragma once

#include <cstdint>

class CHoxa;

struct MorvoxBridge {
  using Action = void (*)(CHoxa*);
  using Size = void (*)(CHoxa*, double width, double height);
  using Mouse = void (*)(CHoxa*, double x, double y, std::int32_t buttons);
  using Key = void (*)(CHoxa*, std::int32_t character, std::int32_t modifier, std::int32_t virtualKey);
  using Number = std::int32_t (*)(CHoxa*);
  using TextOut = std::int32_t (*)(CHoxa*, char* text);
  using TextIn = void (*)(CHoxa*, const char* text);
  using IndexedName = std::int32_t (*)(CHoxa*, std::int32_t category, std::int32_t index, char* text);
  using ParameterGet = double (*)(CHoxa*, std::int32_t index);
  using ParameterSet = void (*)(CHoxa*, std::int32_t index, double value);
  using ParameterText = void (*)(CHoxa*, std::int32_t index, char* text);
  using Process = void (*)(CHoxa*, float** inputs, float** outputs, std::int32_t frames);
  using ProcessDouble = void (*)(CHoxa*, double** inputs, double** outputs, std::int32_t frames);
  using ChunkGet = std::int32_t (*)(CHoxa*, void** data, char preset);
  using ChunkSet = std::int32_t (*)(CHoxa*, void* data, std::int32_t size, char preset);

  Action Init;                           // 0  [dispatcher] adapter construction
  Action Destroy;                        // 1  adapter destructor: deletes the script
  Action Open;                           // 2  [dispatcher] OnReset
  Action Suspend;                        // 3  [dispatcher] OnSuspend
  Action Resume;                         // 4  [dispatcher] OnResume
  Action Idle;                           // 5  [gui] OnIdle
  Action Close;                          // 6  [dispatcher] OnClose
  Size Draw;                             // 7  [gui] OnGraphics
  Mouse MouseDown;                       // 8  [gui]
  Mouse MouseUp;                         // 9  [gui]
  Mouse MouseMove;                       // 10 [gui]
  Key KeyDown;                           // 11 null in this plug-in
  Key KeyUp;                             // 12 null in this plug-in
  Number GetVendorVersion;               // 13 [dispatcher]
  TextOut GetVendorString;               // 14 [dispatcher]
  TextOut GetProductString;              // 15 [dispatcher]
  TextOut GetEffectName;                 // 16 [dispatcher]
  TextOut GetProgramName;                // 17 [dispatcher]
  TextIn SetProgramName;                 // 18 [dispatcher]
  IndexedName GetProgramNameIndexed;     // 19 [dispatcher]
  ParameterGet GetParameter;             // 20 [any]
  ParameterSet SetParameter;             // 21 [any, usually audio]
  ParameterText GetParameterName;        // 22 [dispatcher]
  ParameterText GetParameterLabel;       // 23 [dispatcher]
  ParameterText GetParameterDisplay;     // 24 [dispatcher]
  Process ProcessReplacing;              // 25 [audio]
  ProcessDouble ProcessDoubleReplacing;  // 26 [audio]
  ChunkGet GetChunkEntry;                // 27 [dispatcher]
  ChunkSet SetChunkEntry;                // 28 [dispatcher]
};

static_assert(sizeof(MorvoxBridge) == 29 * sizeof(void (*)()), "the bridge has exactly 29 entries");

// Nulls all 29 entries, then sets the 27 this plug-in uses (KeyDown and
// KeyUp stay null).
void FillMorvoxBridge(MorvoxBridge& bridge);
