#include "host/info_command.h"

#include <cstdio>
#include <string>

#include "host/json_writer.h"
#include "host/plugin_instance.h"
#include "host/plugin_locator.h"

namespace vornhost {

namespace {

std::string FourCC(VstInt32 id) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8) {
    char c = static_cast<char>((static_cast<std::uint32_t>(id) >> shift) & 0xFF);
    s += (c >= 32 && c < 127) ? c : '.';
  }
  return s;
}

const char* CategoryName(int category) {
  static const char* const kNames[] = {"unknown",     "effect",      "synth",   "analysis",
                                       "mastering",   "spatializer", "room fx", "surround fx",
                                       "restoration", "offline",     "shell",   "generator"};
  return category >= 0 && category < 12 ? kNames[category] : "invalid";
}

std::string FlagNames(VstInt32 flags) {
  static const struct {
    VstInt32 bit;
    const char* name;
  } kFlags[] = {{effFlagsHasEditor, "editor"},
                {effFlagsHasClip, "clip"},
                {effFlagsHasVu, "vu"},
                {effFlagsCanMono, "mono"},
                {effFlagsCanReplacing, "replacing"},
                {effFlagsProgramChunks, "program chunks"},
                {effFlagsIsSynth, "synth"},
                {effFlagsNoSoundInStop, "no sound in stop"},
                {effFlagsExtIsAsync, "async"},
                {effFlagsExtHasBuffer, "buffer"},
                {effFlagsCanDoubleReplacing, "double replacing"}};
  std::string out;
  for (const auto& f : kFlags)
    if (flags & f.bit) out += (out.empty() ? "" : ", ") + std::string(f.name);
  return out;
}

}  // namespace

int RunInfo(const InfoOptions& options) {
  const std::string path = LocatePlugin(options.plugin);
  PluginInstance plugin(PluginModule::Load(path));
  plugin.Setup(options.sampleRate, options.blockSize);
  AEffect* e = plugin.effect();
  const std::string name = plugin.EffectName(), vendor = plugin.VendorName(), product = plugin.ProductName();
  const int vendorVersion = plugin.VendorVersion(), vstVersion = plugin.VstVersion(),
            category = plugin.Category();
  const std::size_t chunkSize = plugin.UsesChunks() ? plugin.GetChunk(true).size() : 0;
  const std::size_t bankChunkSize = plugin.UsesChunks() ? plugin.GetChunk(false).size() : 0;

  if (options.json) {
    JsonWriter j;
    j.BeginObject();
    j.Value("path", path).Value("name", name).Value("vendor", vendor).Value("product", product);
    j.Value("vendorVersion", vendorVersion).Value("vstVersion", vstVersion).Value("version", e->version);
    j.Value("uniqueId", FourCC(e->uniqueID)).Value("uniqueIdNumber", static_cast<long long>(e->uniqueID));
    j.Value("category", category).Value("categoryName", std::string(CategoryName(category)));
    j.Value("flags", static_cast<long long>(e->flags));
    j.BeginObject("flagNames");
    j.Bool("editor", plugin.HasEditor()).Bool("replacing", (e->flags & effFlagsCanReplacing) != 0);
    j.Bool("programChunks", plugin.UsesChunks()).Bool("doubleReplacing", plugin.CanDouble());
    j.Bool("synth", (e->flags & effFlagsIsSynth) != 0);
    j.EndObject();
    j.Value("inputs", e->numInputs).Value("outputs", e->numOutputs).Value("programs", e->numPrograms);
    j.Value("parameterCount", e->numParams).Value("initialDelay", e->initialDelay);
    j.Value("tailSize", plugin.TailSize());
    j.Value("chunkSize", static_cast<long long>(chunkSize))
        .Value("bankChunkSize", static_cast<long long>(bankChunkSize));
    j.BeginArray("parameters");
    for (int i = 0; i < e->numParams; ++i) {
      j.BeginObject()
          .Value("index", i)
          .Value("name", plugin.ParamName(i))
          .Value("label", plugin.ParamLabel(i));
      j.Value("display", plugin.ParamDisplay(i)).Value("value", static_cast<double>(plugin.GetParam(i)));
      j.EndObject();
    }
    j.EndArray().EndObject();
    std::printf("%s\n", j.str().c_str());
    return 0;
  }

  std::printf("%s by %s\n", name.c_str(), vendor.c_str());
  std::printf("  file           %s\n", path.c_str());
  std::printf("  product        %s, vendor version %d\n", product.c_str(), vendorVersion);
  std::printf("  unique ID      '%s' (0x%08X)\n", FourCC(e->uniqueID).c_str(),
              static_cast<unsigned>(e->uniqueID));
  std::printf("  VST version    %d, plug-in version %d, category %d (%s)\n", vstVersion, e->version, category,
              CategoryName(category));
  std::printf("  flags          0x%X: %s\n", static_cast<unsigned>(e->flags), FlagNames(e->flags).c_str());
  std::printf("  I/O            %d inputs, %d outputs, %d programs, initial delay %d, tail %d\n",
              e->numInputs, e->numOutputs, e->numPrograms, e->initialDelay, plugin.TailSize());
  if (plugin.UsesChunks())
    std::printf("  chunk          %zu bytes (program), %zu bytes (bank)\n", chunkSize, bankChunkSize);
  else
    std::printf("  chunk          none (state is the parameter values)\n");
  std::printf("  parameters     %d\n", e->numParams);
  for (int i = 0; i < e->numParams; ++i) {
    std::string label = plugin.ParamLabel(i);
    std::string shown = plugin.ParamDisplay(i) + (label.empty() ? "" : " " + label);
    std::printf("    %3d  %-24s %-14s %.6f\n", i, plugin.ParamName(i).c_str(), shown.c_str(),
                static_cast<double>(plugin.GetParam(i)));
  }
  return 0;
}

}  // namespace vornhost
