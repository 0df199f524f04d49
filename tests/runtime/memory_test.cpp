#include "runtime/morvox_memory.h"

#include <gtest/gtest.h>

TEST(Memory, FirstTouchCreatesAZeroFilledPage) {
  CMorvoxMemory memory;
  EXPECT_EQ(memory.Memory(70000), 0.0);
  EXPECT_TRUE(memory.HasPage(1));
  EXPECT_EQ(memory.PageCount(), 1u);
  for (int i = 65536; i < 131072; i += 4099) EXPECT_EQ(memory.Memory(i), 0.0);
}

TEST(Memory, NegativeIndicesUseNegativePages) {
  CMorvoxMemory memory;
  memory.Memory(-1) = 7.5;
  EXPECT_TRUE(memory.HasPage(-1));
  EXPECT_EQ(memory.Memory(-65536 + 65535), 7.5);  // page -1, offset 65535
  memory.Memory(INT32_MIN) = 1.0;
  memory.Memory(INT32_MAX) = 2.0;
  EXPECT_EQ(memory.Memory(INT32_MIN), 1.0);
  EXPECT_EQ(memory.Memory(INT32_MAX), 2.0);
  EXPECT_TRUE(memory.HasPage(-32768) && memory.HasPage(32767));
}

TEST(Memory, CellsKeepTheirValuesAcrossPagesAndDropAllClearsThem) {
  CMorvoxMemory memory;
  for (int i = -200000; i < 20000000; i += 99991) memory.Memory(i) = i * 0.5;
  for (int i = -200000; i < 20000000; i += 99991) ASSERT_EQ(memory.Memory(i), i * 0.5) << i;
  memory.DropAllPages();
  EXPECT_EQ(memory.PageCount(), 0u);
  for (int i = -200000; i < 20000000; i += 99991) ASSERT_EQ(memory.Memory(i), 0.0) << i;
}

TEST(Memory, TouchPagesCreatesExactlyTheCoveredPages) {
  CMorvoxMemory memory;
  memory.TouchPages(0, 576001);  // two 6 s lines at 48 kHz
  EXPECT_EQ(memory.PageCount(), 9u);
  const std::size_t before = memory.PageCount();
  for (int i = 0; i <= 576001; i += 1000) memory.Memory(i) += 1.0;
  EXPECT_EQ(memory.PageCount(), before);
  memory.TouchPages(5, 4);  // empty range
  EXPECT_EQ(memory.PageCount(), before);
}

TEST(Memory, ZeroCellsClearsExactlyItsSpanAcrossPagesAndTouchKeepsValues) {
  CMorvoxMemory memory;
  memory.ReservePages(0, 3 * 65536);
  for (int i = 0; i < 3 * 65536; ++i) memory.Memory(i) = 1.0 + i;
  memory.TouchPages(0, 3 * 65536);  // resident again: nothing changes
  EXPECT_EQ(memory.Memory(70000), 70001.0);
  // From inside the first page to inside the third.
  memory.ZeroCells(65000, 70000);
  EXPECT_EQ(memory.Memory(64999), 65000.0);
  for (int i = 65000; i < 135000; i += 997) ASSERT_EQ(memory.Memory(i), 0.0) << i;
  EXPECT_EQ(memory.Memory(134999), 0.0);
  EXPECT_EQ(memory.Memory(135000), 135001.0);
  // Absent pages stay absent, and nothing before `first` moves.
  const std::size_t pages = memory.PageCount();
  memory.ZeroCells(10 * 65536, 65536);
  memory.ZeroCells(5, 0);
  memory.ZeroCells(5, -3);
  EXPECT_EQ(memory.PageCount(), pages);
  EXPECT_EQ(memory.Memory(5), 6.0);
}
