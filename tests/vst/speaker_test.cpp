#include <gtest/gtest.h>

#include <cstring>

#include "tests/vst/probe_effect.h"

namespace {

TEST(SpeakerArrangements, AllocateReallocateAndRelease) {
  ProbeEffect probe;
  VstSpeakerArrangement* arrangement = nullptr;
  ASSERT_TRUE(probe.allocateArrangement(&arrangement, 2));
  EXPECT_EQ(arrangement->numChannels, 2);
  EXPECT_EQ(arrangement->type, 0);
  EXPECT_EQ(arrangement->speakers[7].type, 0);               // the whole record is zeroed and ours
  ASSERT_TRUE(probe.allocateArrangement(&arrangement, 24));  // the old one is freed
  EXPECT_EQ(arrangement->numChannels, 24);
  VstSpeakerProperties* speakers = arrangement->speakers;
  speakers[23].azimuth = 1.0f;  // room for every channel
  EXPECT_TRUE(probe.deallocateArrangement(&arrangement));
  EXPECT_EQ(arrangement, nullptr);
  EXPECT_TRUE(probe.deallocateArrangement(&arrangement));

  EXPECT_FALSE(probe.allocateArrangement(nullptr, 2));
  EXPECT_FALSE(probe.allocateArrangement(&arrangement, -1));
  EXPECT_FALSE(probe.deallocateArrangement(nullptr));
}

TEST(SpeakerArrangements, CopySpeakerBoundsTheName) {
  ProbeEffect probe;
  VstSpeakerProperties from{};
  from.azimuth = 0.5f;
  from.reserved = 3.0f;
  from.type = 7;
  from.future[27] = 9;
  std::memset(from.name, 'L', sizeof from.name);  // not terminated
  VstSpeakerProperties to{};
  ASSERT_TRUE(probe.copySpeaker(&to, &from));
  EXPECT_EQ(std::strlen(to.name), 63u);
  EXPECT_TRUE(to.azimuth == 0.5f && to.reserved == 3.0f && to.type == 7 && to.future[27] == 9);
  EXPECT_FALSE(probe.copySpeaker(nullptr, &from));
  EXPECT_FALSE(probe.copySpeaker(&to, nullptr));
}

TEST(SpeakerArrangements, MatchCopiesTypeAndSpeakers) {
  ProbeEffect probe;
  VstSpeakerArrangement* from = nullptr;
  ASSERT_TRUE(probe.allocateArrangement(&from, 3));
  from->type = 5;
  std::strcpy(from->speakers[2].name, "Rs");
  from->speakers[2].type = 4;
  VstSpeakerArrangement* to = nullptr;
  ASSERT_TRUE(probe.allocateArrangement(&to, 1));
  ASSERT_TRUE(probe.matchArrangement(&to, from));
  EXPECT_EQ(to->numChannels, 3);
  EXPECT_EQ(to->type, 5);
  EXPECT_STREQ(to->speakers[2].name, "Rs");
  EXPECT_EQ(to->speakers[2].type, 4);
  VstSpeakerArrangement* same = from;
  EXPECT_TRUE(probe.matchArrangement(&same, from));  // onto itself: left alone
  EXPECT_EQ(from->numChannels, 3);
  EXPECT_FALSE(probe.matchArrangement(nullptr, from));
  EXPECT_FALSE(probe.matchArrangement(&to, nullptr));
  probe.deallocateArrangement(&to);
  probe.deallocateArrangement(&from);
}

}  // namespace
