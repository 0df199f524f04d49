// Slider declaration and the host's parameter questions, on a small script.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "runtime/module_files.h"
#include "runtime/morvox.h"

namespace {

class SliderScript : public TMorvox {
 public:
  SliderScript() {
    DeclareSlider(1, &mirror, 4, 0, 23, 1, "", "", "", "Delay [1/4 Notes]");
    for (int k = 0; k < 24; ++k) AddSliderOption("opt" + std::to_string(k));
    DeclareSlider(6, nullptr, 0.05, 0, 1, 0.01, "", "", "unit", "Resonance");
    DeclareSlider(10, nullptr, 0, -40, 10, 1, "", "", "", "Dry [dB]");
    DeclareSlider(20, nullptr, 0, 0, 1000, 1, "", "", "", "Wide");
    DeclareSlider(21, nullptr, 0, 0, 2, 1, "", "", "", "Three");
    AddSliderOption("zero");
    AddSliderOption("one");
    AddSliderOption("two");
    DeclareSlider(22, nullptr, 3, 5, 5, 0, "", "", "", "Broken");
  }
  void OnSlider() override { ++sliderRuns; }
  int sliderRuns = 0;
  double mirror = 0;
};

}  // namespace

TEST(Sliders, DeclarationGivesTheDefaultAtOnce) {
  SliderScript s;
  EXPECT_EQ(s.SliderCount(), 6);
  EXPECT_EQ(s.sliderValues[1], 4);
  EXPECT_EQ(s.sliderValues[6], 0.05);
  EXPECT_TRUE(s.sliders[0].prepared);
  EXPECT_DOUBLE_EQ(s.GetNormalisedValue(0), 4.0 / 23);
  EXPECT_DOUBLE_EQ(s.GetNormalisedValue(2), 0.8);
}

TEST(Sliders, NormalisedSetSnapsToTheStepCountedFromZero) {
  SliderScript s;
  s.SetFromNormalisedValue(0, 0.5);  // raw 11.5 rounds up to 12
  EXPECT_EQ(s.sliderValues[1], 12);
  EXPECT_EQ(s.mirror, 12);
  EXPECT_EQ(s.GetParameterDisplayText(0), "opt12");
  s.SetFromNormalisedValue(1, 0.123);
  EXPECT_DOUBLE_EQ(s.sliderValues[6], std::floor(12.8) * 0.01);
  s.SetFromNormalisedValue(2, 0.0);
  EXPECT_EQ(s.sliderValues[10], -40);
  s.SetFromNormalisedValue(2, 1.0);
  EXPECT_EQ(s.sliderValues[10], 10);
  s.SetFromNormalisedValue(3, 0.5f);
  EXPECT_EQ(s.sliderValues[20], 500);
}

TEST(Sliders, AnUnchangedValueRunsNoSliderSection) {
  SliderScript s;
  s.SetFromNormalisedValue(0, 0.5);
  s.SetFromNormalisedValue(0, 0.5);
  s.SetFromNormalisedValue(0, 0.5 + 0.01 / 23);  // snaps to the same 12
  EXPECT_EQ(s.sliderRuns, 1);
  s.SetFromNormalisedValue(0, 4.0 / 23);
  EXPECT_EQ(s.sliderRuns, 2);
}

TEST(Sliders, DisplayPicksTheOptionByPositionAndClamps) {
  SliderScript s;
  auto show = [&](double value) {
    s.sliderValues[21] = value;
    return s.GetParameterDisplayText(4);
  };
  EXPECT_EQ(show(0.99), "zero");
  EXPECT_EQ(show(1.0), "one");
  EXPECT_EQ(show(1.99), "one");
  EXPECT_EQ(show(2.0), "two");
  EXPECT_EQ(show(7.0), "two");
  EXPECT_EQ(show(-3.0), "zero");
  EXPECT_EQ(show(std::nan("")), "zero");
  s.sliderValues[10] = -3.456;
  EXPECT_EQ(s.GetParameterDisplayText(2), "-3.46");
  EXPECT_EQ(s.GetParameterLabelText(1), "unit");
  EXPECT_EQ(s.GetParameterNameText(2), "Dry [dB]");
}

TEST(Sliders, BadIndicesAndValuesGetNeutralAnswers) {
  SliderScript s;
  for (int index : {-1, 6, 1000, INT32_MIN}) {
    EXPECT_EQ(s.GetNormalisedValue(index), 0.0);
    EXPECT_EQ(s.GetParameterDisplayText(index), "");
    EXPECT_EQ(s.GetParameterNameText(index), "");
    EXPECT_EQ(s.GetParameterLabelText(index), "");
    s.SetFromNormalisedValue(index, 0.5);
  }
  s.SetFromNormalisedValue(0, std::nan(""));
  s.SetFromNormalisedValue(0, INFINITY);
  EXPECT_EQ(s.sliderValues[1], 4);
  EXPECT_EQ(s.sliderRuns, 0);
  s.SetFromNormalisedValue(0, 7.0);  // beyond 1: the maximum
  EXPECT_EQ(s.sliderValues[1], 23);
  // Slots beyond the range give the nearest end; NaN the minimum.
  const double stored[] = {1e30, -1e30, INFINITY, -INFINITY, std::nan("")};
  const double expected[] = {1, 0, 1, 0, 0};
  for (int k = 0; k < 5; ++k) {
    s.sliderValues[10] = stored[k];
    EXPECT_EQ(s.GetNormalisedValue(2), expected[k]) << stored[k];
  }
  // A slider whose range is empty and whose step is 0 still answers.
  EXPECT_EQ(s.GetNormalisedValue(5), 0.0);
  s.SetFromNormalisedValue(5, 0.7);
  EXPECT_EQ(s.sliderValues[22], 5);
}

TEST(Sliders, FolderSliderListsThePlainFilesOfItsFolder) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(morvox::ModuleFolder()) / "slider_test_data";
  fs::remove_all(folder);
  fs::create_directories(folder / "sub");
  std::ofstream(folder / "a.txt") << "x";
  std::ofstream(folder / ".hidden") << "x";
  fs::create_directories(folder / "empty");

  class FolderScript : public TMorvox {
   public:
    FolderScript() {
      DeclareSlider(1, nullptr, 0.7, 3, 9, 2, "slider_test_data/", "", "", "Files");
      DeclareSlider(2, nullptr, 0, 3, 9, 2, "slider_test_data/empty/", "", "", "None");
      DeclareSlider(3, nullptr, 0, 3, 9, 2, "no_such_folder/", "", "", "Missing");
    }
  } script;
  ASSERT_EQ(script.sliders[0].options, std::vector<std::string>{"a.txt"});
  EXPECT_EQ(script.sliders[0].minimum, 0);
  EXPECT_EQ(script.sliders[0].maximum, 0);
  EXPECT_EQ(script.sliders[0].step, 0.5);
  EXPECT_EQ(script.sliderValues[1], 0.7);
  EXPECT_EQ(script.sliders[1].options, std::vector<std::string>{"(No Data Files)"});
  EXPECT_EQ(script.sliders[2].options, std::vector<std::string>{"(No Data Files)"});
  fs::remove_all(folder);
}
