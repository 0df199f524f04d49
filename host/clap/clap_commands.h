// vornhost's info, render, digest, edit and validate for CLAP plug-ins,
// named by a path ending in ".clap"; --plugin-id picks one of several
// plug-ins in one file (the first by default).
#pragma once

#include <string>
#include <vector>

#include "host/digest_command.h"
#include "host/edit_command.h"
#include "host/info_command.h"
#include "host/validate_command.h"
#ifndef VORNHOST_NO_AUDIO_FILES
#include "host/render_command.h"
#endif

namespace vornhost {

struct ClapChoice {
  std::string pluginId;                 // empty: the factory's first
  std::vector<std::string> automation;  // NAME=TIME:VALUE,... (render)
};

int RunClapInfo(const InfoOptions& options, const ClapChoice& choice);
int RunClapDigest(const DigestOptions& options, const ClapChoice& choice);
int RunClapEdit(const EditOptions& options, const ClapChoice& choice);
// clap_validate.cpp lists the checks.
int RunClapValidate(const ValidateOptions& options, const ClapChoice& choice);
#ifndef VORNHOST_NO_AUDIO_FILES
int RunClapRender(const RenderCommandOptions& options, const ClapChoice& choice);
#endif

}  // namespace vornhost
