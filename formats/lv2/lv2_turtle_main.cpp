// Writes the LV2 bundle's Turtle files into a folder, from the delay's own
// description. Usage: generate_lv2_turtle <bundle folder> <binary name>
#include <cstdio>
#include <fstream>
#include <string>

#include "effect/morvox_effect.h"
#include "formats/lv2/lv2_presets_turtle.h"
#include "formats/lv2/lv2_turtle.h"

namespace {

bool Write(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) {
    std::fprintf(stderr, "generate_lv2_turtle: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: generate_lv2_turtle <bundle folder> <binary name>\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::string binary = argv[2];
  const TMorvoxEffect effect;
  if (effect.channelCount != 2) {
    std::fprintf(stderr, "generate_lv2_turtle: the ports describe a stereo effect\n");
    return 1;
  }
  const bool ok = Write(folder + "/manifest.ttl", lv2turtle::Manifest(binary)) &&
                  Write(folder + "/VornDelay2.ttl", lv2turtle::PluginDescription(effect)) &&
                  Write(folder + "/VornDelay2_ui.ttl", lv2turtle::UiDescription(binary)) &&
                  Write(folder + "/" + lv2turtle::kPresetsFile, lv2turtle::PresetsDescription(effect));
  return ok ? 0 : 1;
}
