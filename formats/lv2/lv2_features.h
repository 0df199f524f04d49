// The data of the host's feature with this URI, or null when the host
// offers none (or no feature list at all).
#pragma once

#include <cstring>

#include <lv2/core/lv2.h>

namespace lv2feature {

inline const void* Find(const LV2_Feature* const* features, const char* uri) {
  if (features == nullptr) return nullptr;
  for (const LV2_Feature* const* f = features; *f != nullptr; ++f) {
    if ((*f)->URI != nullptr && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
  }
  return nullptr;
}

}  // namespace lv2feature
