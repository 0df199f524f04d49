// `vornhost digest`: renders a fixed set of inputs and settings through a
// plug-in in both precisions and prints a digest of the output's bits per
// case. Builds that compute the same sound print the same table, so the
// Linux plug-in and both Windows DLLs can be compared without audio files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/audio_file.h"
#include "host/block_processor.h"

namespace vornhost {

struct DigestOptions {
  std::string plugin;
};

int RunDigest(const DigestOptions& options);

// The fixed conditions every format's digest renders under.
constexpr double kDigestSampleRate = 44100.0;
constexpr int kDigestBlockSize = 512;
constexpr double kDigestTailSeconds = 2.0;

// Renders one case: input through a fresh instance set up with the
// settings (NAME=VALUE in the plug-in's terms, applied before the first
// block), in blocks of kDigestBlockSize, kDigestTailSeconds of tail after it.
using DigestRenderer = std::function<AudioData(
    const AudioData& input, const std::vector<const char*>& settings, Precision precision)>;

// Prints the table for the plug-in called name: every format's table is
// the same text when the sound is the same.
void PrintDigestTable(const std::string& name, bool canDouble, const DigestRenderer& render);

// FNV-1a (64 bits) over every sample's IEEE 754 bits, channel after channel,
// each sample's eight bytes least significant first: the same on every
// platform, and different for any difference of a bit (-0 and +0 included).
std::uint64_t DigestOfBits(const std::vector<std::vector<double>>& channels);

}  // namespace vornhost
