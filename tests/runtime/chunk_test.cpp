// The state chunk container and file slots, on a script that saves three values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "runtime/module_files.h"
#include "runtime/morvox.h"

namespace {

class Saver : public TMorvox {
 public:
  void OnSerialize() override {
    ++serializeRuns;
    if (!saveNothing) {
      FileVar(0, a);
      FileVar(0, b);
      FileVar(0, c);
    }
  }
  void OnInit() override { ++initRuns; }
  void OnSlider() override { ++sliderRuns; }
  double a = 1.5, b = 0.05, c = -7;
  bool saveNothing = false;
  int serializeRuns = 0, initRuns = 0, sliderRuns = 0;
};

std::vector<float> Floats(const void* data, std::int32_t size) {
  std::vector<float> out(static_cast<std::size_t>(size) / 4);
  std::memcpy(out.data(), data, out.size() * 4);
  return out;
}

}  // namespace

TEST(Chunk, WritesTheMarkerThenTheValuesAsFloats) {
  Saver s;
  void* data = nullptr;
  ASSERT_EQ(s.GetChunk(&data, false), 16);
  EXPECT_EQ(Floats(data, 16), (std::vector<float>{-1000.0f, 1.5f, 0.05f, -7.0f}));
  EXPECT_EQ(s.files[0].mode, kFileModeWrite);
}

TEST(Chunk, NothingSavedAnswersZeroAndLeavesTheHostPointer) {
  Saver s;
  s.saveNothing = true;
  void* data = &s;
  EXPECT_EQ(s.GetChunk(&data, false), 0);
  EXPECT_EQ(data, &s);
}

TEST(Chunk, RestoreRunsInitOnceSerializeAndSlider) {
  Saver source;
  source.a = 3;
  source.b = 0.05;
  void* data = nullptr;
  const std::int32_t size = source.GetChunk(&data, false);
  const std::vector<float> copy = Floats(data, size);

  Saver s;
  EXPECT_EQ(s.SetChunk(copy.data(), size, true), size);
  EXPECT_EQ(s.a, 3);
  EXPECT_EQ(s.b, 0.05000000074505806);
  EXPECT_EQ(s.c, -7);
  EXPECT_EQ(s.initRuns, 1);
  EXPECT_EQ(s.sliderRuns, 1);
  s.SetChunk(copy.data(), size, false);
  EXPECT_EQ(s.initRuns, 1);  // InitOnce: only the first restore inits
  EXPECT_EQ(s.initCount, 2);
}

TEST(Chunk, ShortOddAndForeignChunksRestoreWhatTheyHold) {
  const float marker3[] = {-1000.0f, 9.0f, 8.0f};
  Saver s;
  EXPECT_EQ(s.SetChunk(marker3, 10, false), 10);  // two floats and two stray bytes
  EXPECT_EQ(s.a, 9);
  EXPECT_EQ(s.b, 0.05);                         // not in the chunk: unchanged
  EXPECT_EQ(s.SetChunk(marker3, 6, false), 6);  // the marker alone
  EXPECT_EQ(s.serializeRuns, 2);

  Saver t;
  const float foreign[] = {-999.0f, 1.0f};
  EXPECT_EQ(t.SetChunk(foreign, 8, false), 8);
  EXPECT_EQ(t.SetChunk(marker3, 3, false), 3);
  const float nan[] = {std::nanf("")};
  EXPECT_EQ(t.SetChunk(nan, 4, false), 4);
  EXPECT_EQ(t.SetChunk(nullptr, 260, false), 260);
  EXPECT_EQ(t.SetChunk(marker3, -12, false), -12);
  EXPECT_EQ(t.serializeRuns + t.initRuns + t.sliderRuns, 0);
  EXPECT_EQ(t.a, 1.5);
}

TEST(FileSlots, WriteModeSlotsAreWrittenOutAsOneBytePerValue) {
  namespace fs = std::filesystem;
  const fs::path out = fs::path(morvox::ModuleFolder()) / "slot_out.bin";
  fs::remove(out);
  {
    Saver s;
    s.files.emplace_back();
    s.files[1].name = "\\slot_out.bin";
    s.files[1].mode = kFileModeWrite;
    for (double value : {65.0, 66.2, 321.0, -1.0}) s.FileVar(1, value);
    double unused = 5;
    s.FileVar(7, unused);  // no such slot
    s.FileVar(-1, unused);
  }
  std::string bytes;
  {
    std::ifstream in(out, std::ios::binary);  // closed before the file is removed
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  EXPECT_EQ(bytes, std::string("AB\x41\xFF", 4));
  fs::remove(out);
}

TEST(FileSlots, ReadModeLeavesTheVariableWhenNothingRemains) {
  Saver s;
  const float chunk[] = {-1000.0f, 2.0f};
  s.SetChunk(chunk, 8, false);
  double v = 42;
  s.FileVar(0, v);
  EXPECT_EQ(v, 42);  // the serialize section already read the one value
  s.files[0].mode = kFileModeClosed;
  s.FileVar(0, v);
  EXPECT_EQ(v, 42);
}
