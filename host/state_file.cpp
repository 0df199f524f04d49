#include "host/state_file.h"
#include "host/output_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>

#include "host/host_error.h"

namespace vornhost {

namespace {

constexpr VstInt32 kFileMagic = FourCharCode('C', 'c', 'n', 'K');
constexpr VstInt32 kChunkProgram = FourCharCode('F', 'P', 'C', 'h');
constexpr VstInt32 kParamProgram = FourCharCode('F', 'x', 'C', 'k');
constexpr VstInt32 kChunkBank = FourCharCode('F', 'B', 'C', 'h');
constexpr std::size_t kBankHeaderSize = 7 * 4 + 128;  // through the reserved bytes
constexpr std::size_t kNameSize = 28;
constexpr std::size_t kHeaderSize = 7 * 4 + kNameSize;  // through the program name
// Far above any delay's state, far below what a mistaken device or a huge
// file would cost to read.
constexpr std::size_t kMaxStateBytes = 16 * 1024 * 1024;

void PutInt(std::vector<char>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

std::uint32_t GetInt(const std::vector<char>& in, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(in[at + i]);
  return v;
}

std::string CodeText(VstInt32 code) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8) {
    char c = static_cast<char>((static_cast<std::uint32_t>(code) >> shift) & 0xFF);
    s += (c >= 32 && c < 127) ? c : '?';
  }
  return s;
}

// Hands the chunk to the plug-in and refuses it when the plug-in plainly
// did not take it: its state is what it was and is not what the file holds.
// (effSetChunk has no answer for "rejected".)
void RestoreChunk(PluginInstance& plugin, const std::vector<char>& chunk, bool preset,
                  const std::function<void(const std::string&)>& refuse) {
  if (chunk.empty()) refuse("holds an empty chunk");
  const std::vector<char> before = plugin.GetChunk(preset);
  plugin.SetChunk(chunk, preset);
  const std::vector<char> after = plugin.GetChunk(preset);
  if (after == before && after != chunk)
    refuse("holds a chunk the plug-in did not take (its state is unchanged)");
}

// A loaded program takes the name the file gives it, as in a host's
// program menu.
void SetProgramName(PluginInstance& plugin, const std::vector<char>& image) {
  char name[kNameSize + 1] = {};
  std::memcpy(name, image.data() + 28, kNameSize);
  if (name[0] != '\0') plugin.Dispatch(effSetProgramName, 0, 0, name);
}

}  // namespace

std::vector<char> EncodeState(PluginInstance& plugin) {
  AEffect* e = plugin.effect();
  std::vector<char> chunk;
  const bool chunks = plugin.UsesChunks();
  if (chunks) chunk = plugin.GetChunk(true);
  std::vector<char> out;
  PutInt(out, static_cast<std::uint32_t>(kFileMagic));
  PutInt(out, 0);  // size, filled below
  PutInt(out, static_cast<std::uint32_t>(chunks ? kChunkProgram : kParamProgram));
  PutInt(out, 1);  // format version
  PutInt(out, static_cast<std::uint32_t>(e->uniqueID));
  PutInt(out, static_cast<std::uint32_t>(e->version));
  PutInt(out, static_cast<std::uint32_t>(e->numParams));
  char name[kNameSize] = {};
  char programName[512] = {};
  plugin.Dispatch(effGetProgramName, 0, 0, programName);
  programName[sizeof programName - 1] = '\0';
  std::memcpy(name, programName, std::min(std::strlen(programName), kNameSize - 1));
  out.insert(out.end(), name, name + kNameSize);
  if (chunks) {
    PutInt(out, static_cast<std::uint32_t>(chunk.size()));
    out.insert(out.end(), chunk.begin(), chunk.end());
  } else {
    for (int i = 0; i < e->numParams; ++i) {
      float v = plugin.GetParam(i);
      std::uint32_t bits = 0;
      std::memcpy(&bits, &v, 4);
      PutInt(out, bits);
    }
  }
  std::uint32_t size = static_cast<std::uint32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i)
    out[4 + static_cast<std::size_t>(i)] = static_cast<char>((size >> (24 - 8 * i)) & 0xFF);
  return out;
}

void DecodeState(PluginInstance& plugin, const std::vector<char>& image, const std::string& source) {
  AEffect* e = plugin.effect();
  auto refuse = [&](const std::string& why) { throw HostError("state file '" + source + "' " + why); };
  if (image.size() < kHeaderSize || static_cast<VstInt32>(GetInt(image, 0)) != kFileMagic)
    refuse("is not a VST program file");
  if (GetInt(image, 4) != image.size() - 8) refuse("is truncated or has a wrong size field");
  const auto kind = static_cast<VstInt32>(GetInt(image, 8));
  const auto id = static_cast<VstInt32>(GetInt(image, 16));
  if (id != e->uniqueID)
    refuse("belongs to the plug-in with ID '" + CodeText(id) + "', not to this one ('" +
           CodeText(e->uniqueID) + "')");
  if (kind == kChunkProgram) {
    if (!plugin.UsesChunks()) refuse("holds a chunk, but this plug-in does not store its state as chunks");
    if (image.size() < kHeaderSize + 4) refuse("is truncated");
    std::size_t size = GetInt(image, kHeaderSize);
    if (size != image.size() - kHeaderSize - 4) refuse("has a chunk size that does not match the file");
    std::vector<char> chunk(image.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + 4), image.end());
    RestoreChunk(plugin, chunk, true, refuse);
    SetProgramName(plugin, image);
  } else if (kind == kParamProgram) {
    std::size_t count = GetInt(image, 24);
    if (count != static_cast<std::size_t>(e->numParams)) refuse("has a different number of parameters");
    if (image.size() != kHeaderSize + 4 * count) refuse("has a wrong size");
    for (std::size_t i = 0; i < count; ++i) {
      std::uint32_t bits = GetInt(image, kHeaderSize + 4 * i);
      float v = 0.0f;
      std::memcpy(&v, &bits, 4);
      if (!(v >= 0.0f && v <= 1.0f)) refuse("holds a parameter value outside 0..1");
      plugin.SetParam(static_cast<int>(i), v);
    }
    SetProgramName(plugin, image);
  } else if (kind == kChunkBank) {
    // A bank's chunk is the plug-in's to read: it gets the whole chunk as
    // a bank, as a host's bank loading gives it.
    if (!plugin.UsesChunks())
      refuse("holds a bank chunk, but this plug-in does not store its state as chunks");
    if (image.size() < kBankHeaderSize + 4) refuse("is truncated");
    std::size_t size = GetInt(image, kBankHeaderSize);
    if (size != image.size() - kBankHeaderSize - 4) refuse("has a chunk size that does not match the file");
    std::vector<char> chunk(image.begin() + static_cast<std::ptrdiff_t>(kBankHeaderSize + 4), image.end());
    RestoreChunk(plugin, chunk, false, refuse);
  } else {
    refuse("is neither a program file nor a chunk bank");
  }
}

void SaveStateFile(PluginInstance& plugin, OutputFile& output) {
  const std::vector<char> image = EncodeState(plugin);
  output.WriteAll(image.data(), image.size());
  output.Commit();
}

void LoadStateFile(PluginInstance& plugin, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw HostError("cannot read state file '" + path + "'");
  std::vector<char> image;
  char piece[65536];
  while (in.read(piece, sizeof piece) || in.gcount() > 0) {
    image.insert(image.end(), piece, piece + in.gcount());
    if (image.size() > kMaxStateBytes)
      throw HostError("state file '" + path + "' is larger than " + std::to_string(kMaxStateBytes >> 20) +
                      " MB; no program file is that big");
  }
  if (in.bad()) throw HostError("cannot read state file '" + path + "'");
  DecodeState(plugin, image, path);
}

}  // namespace vornhost
