// Writes the factory presets (effect/factory_presets.h) as VST 2.4 program
// files: one chunk program (.fxp, 'FPCh') per preset, named after it.
// Usage: write_vst_presets <folder>
//
// No bank (.fxb) is written: the plug-in has one program, so a host loading
// a bank of the twelve would reach only the first; each preset is a program
// file a host's "load preset" opens.
//
// The layout is big-endian: 'CcnK', the byte size of the rest, the kind,
// format version 1, the plug-in's ID and version, the parameter count and a
// 28-byte name, then the chunk's size and the chunk.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "effect/factory_presets.h"
#include "effect/morvox_effect.h"

namespace {

// AEffect::version of the plug-in (the dispatcher base sets 1).
constexpr std::uint32_t kPluginVersion = 1;
constexpr std::size_t kNameSize = 28;

std::uint32_t Code(char a, char b, char c, char d) {
  return (static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(d));
}

void Put(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void FinishSize(std::vector<std::uint8_t>& out) {
  const auto size = static_cast<std::uint32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i)
    out[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
}

// The header both file kinds share: 'CcnK', the size (FinishSize fills it
// in), the kind, format version 1, the plug-in's ID and version, and the
// count (parameters of a program, programs of a bank).
std::vector<std::uint8_t> Header(std::uint32_t kind, std::uint32_t id, std::uint32_t count) {
  std::vector<std::uint8_t> out;
  Put(out, Code('C', 'c', 'n', 'K'));
  Put(out, 0);
  Put(out, kind);
  Put(out, 1);
  Put(out, id);
  Put(out, kPluginVersion);
  Put(out, count);
  return out;
}

std::vector<std::uint8_t> Program(std::uint32_t id, std::uint32_t params, const char* name,
                                  const std::vector<std::uint8_t>& chunk) {
  std::vector<std::uint8_t> out = Header(Code('F', 'P', 'C', 'h'), id, params);
  std::uint8_t text[kNameSize] = {};
  std::memcpy(text, name, std::min(std::strlen(name), kNameSize - 1));
  out.insert(out.end(), text, text + kNameSize);
  Put(out, static_cast<std::uint32_t>(chunk.size()));
  out.insert(out.end(), chunk.begin(), chunk.end());
  FinishSize(out);
  return out;
}

bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) {
    std::fprintf(stderr, "write_vst_presets: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_vst_presets <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  const TMorvoxEffect effect;
  const auto id = static_cast<std::uint32_t>(effect.uniqueId);
  const auto params = static_cast<std::uint32_t>(effect.SliderCount());
  bool ok = true;
  for (const presets::FactoryPreset& preset : presets::FactoryPresets()) {
    const std::vector<std::uint8_t> chunk = presets::PresetChunk(preset);
    ok = Write(folder + "/" + preset.name + ".fxp", Program(id, params, preset.name, chunk)) && ok;
  }
  return ok ? 0 : 1;
}
