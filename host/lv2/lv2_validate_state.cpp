#include "host/lv2/lv2_validate_state.h"

namespace vornhost {

namespace {

LV2_State_Status Store(LV2_State_Handle handle, std::uint32_t key, const void* value, std::size_t size,
                       std::uint32_t type, std::uint32_t flags) {
  const auto* bytes = static_cast<const std::uint8_t*>(value);
  (*static_cast<Lv2State*>(handle))[key] = {type, flags, std::vector<std::uint8_t>(bytes, bytes + size)};
  return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle handle, std::uint32_t key, std::size_t* size, std::uint32_t* type,
                     std::uint32_t* flags) {
  const auto* state = static_cast<const Lv2State*>(handle);
  auto it = state->find(key);
  if (it == state->end()) return nullptr;
  *size = it->second.value.size();
  *type = it->second.type;
  *flags = it->second.flags;
  return it->second.value.data();
}

}  // namespace

const LV2_State_Interface* Lv2StateOf(Lv2PluginHost& p) {
  return static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(p.Instance(), LV2_STATE__interface));
}

Lv2State SaveLv2State(Lv2PluginHost& p, LV2_State_Status* status) {
  Lv2State state;
  const LV2_State_Status s =
      Lv2StateOf(p)->save(lilv_instance_get_handle(p.Instance()), Store, &state, LV2_STATE_IS_POD, nullptr);
  if (status != nullptr) *status = s;
  return state;
}

LV2_State_Status RestoreLv2State(Lv2PluginHost& p, const Lv2State& state) {
  return Lv2StateOf(p)->restore(lilv_instance_get_handle(p.Instance()), Retrieve,
                                const_cast<Lv2State*>(&state), LV2_STATE_IS_POD, nullptr);
}

}  // namespace vornhost
