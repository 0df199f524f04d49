// CMorvoxDescription: the effect's declared sliders and its description,
// and the host's parameter and description questions answered from them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/morvox_sliders.h"
#include "runtime/slider_info.h"

namespace morvox {

// A four-letter identifier as one number, first letter highest, as plug-in
// unique ids are written.
constexpr std::int32_t FourCharId(char a, char b, char c, char d) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                   (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                   (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                   static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

}  // namespace morvox

class CMorvoxDescription : public CMorvoxSamples {
 public:
  // Appends a slider and gives its slot the default at once. A non-empty
  // folder fills the options from the files found there. [constructor only]
  void DeclareSlider(std::int32_t number, double* mirror, double defaultValue, double minimum, double maximum,
                     double step, const std::string& folder, const std::string& extraText,
                     const std::string& label, const std::string& name);
  // Appends an option text to the most recently declared slider.
  void AddSliderOption(const std::string& text);

  // Host parameter operations by host index (position in `sliders`). An
  // index outside the declared sliders gets the neutral answer. [dispatcher]
  double GetNormalisedValue(std::int32_t index) const;
  void SetFromNormalisedValue(std::int32_t index, double x);
  std::string GetParameterDisplayText(std::int32_t index) const;
  // The display text the parameter would show holding `value` (its own
  // units, as the slot holds it).
  std::string DisplayTextFor(std::int32_t index, double value) const;
  std::string GetParameterNameText(std::int32_t index) const;
  std::string GetParameterLabelText(std::int32_t index) const;

  // [gui] The interface's edits of slider `number`, told to the host as
  // edits of that slider's parameter (see morvox::BeginEdit); nothing for a
  // number no declared slider has.
  void BeginSliderEdit(std::int32_t number);
  void SliderEdited(std::int32_t number);  // reports the slot's current value
  void EndSliderEdit(std::int32_t number);
  // The host index of slider `number`; -1 when none is declared.
  std::int32_t ParameterIndexOf(std::int32_t number) const;

  const SliderInfo* SliderAt(std::int32_t index) const;
  std::int32_t SliderCount() const { return static_cast<std::int32_t>(sliders.size()); }

  std::vector<SliderInfo> sliders;
  std::string effectName;
  std::string productString;
  std::string vendorString;
  std::string programName;
  std::int32_t vendorVersion = 0;
  std::int32_t uniqueId = 0;
  std::int32_t channelCount = 0;

 private:
  double& SliderSlot(const SliderInfo& slider) { return sliderValues[SlotOf(slider)]; }
  double SliderSlot(const SliderInfo& slider) const { return sliderValues[SlotOf(slider)]; }
  static std::size_t SlotOf(const SliderInfo& slider) {
    return static_cast<std::size_t>(slider.number) & (kSliderSlots - 1);
  }
};
