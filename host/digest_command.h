// `vornhost digest`: renders a fixed set of inputs and settings through a
// plug-in in both precisions and prints a digest of the output's bits per
// case. Builds that compute the same sound print the same table, so the
// Linux plug-in and both Windows DLLs can be compared without audio files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vornhost {

struct DigestOptions {
  std::string plugin;
};

int RunDigest(const DigestOptions& options);

// FNV-1a (64 bits) over every sample's IEEE 754 bits, channel after channel,
// each sample's eight bytes least significant first: the same on every
// platform, and different for any difference of a bit (-0 and +0 included).
std::uint64_t DigestOfBits(const std::vector<std::vector<double>>& channels);

}  // namespace vornhost
