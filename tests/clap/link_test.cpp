// The editor's link to the audio side: edits arrive in order and become
// the host's events at the given frame, a full ring refuses without losing
// what it holds, values and the meter's peak are seen once each.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "formats/clap/clap_gui_link.h"

namespace {

struct Recorded {
  std::uint16_t type;
  std::uint32_t time;
  clap_id param;
  double value;
};

bool Push(const clap_output_events_t* list, const clap_event_header_t* event) {
  auto& out = *static_cast<std::vector<Recorded>*>(list->ctx);
  double value = 0;
  clap_id param = 0;
  if (event->type == CLAP_EVENT_PARAM_VALUE) {
    const auto* v = reinterpret_cast<const clap_event_param_value_t*>(event);
    param = v->param_id;
    value = v->value;
    EXPECT_EQ(event->size, sizeof(clap_event_param_value_t));
    EXPECT_EQ(v->note_id, -1);
    EXPECT_EQ(v->port_index, -1);
  } else {
    param = reinterpret_cast<const clap_event_param_gesture_t*>(event)->param_id;
    EXPECT_EQ(event->size, sizeof(clap_event_param_gesture_t));
  }
  out.push_back({event->type, event->time, param, value});
  return true;
}

TEST(ClapGuiLink, EditsReachTheSoundAndTheHostInOrder) {
  ClapGuiLink link;
  using Edit = ClapGuiLink::Edit;
  ASSERT_TRUE(link.PushEdit({Edit::kBegin, 3, 0}));
  ASSERT_TRUE(link.PushEdit({Edit::kValue, 3, 49}));
  ASSERT_TRUE(link.PushEdit({Edit::kValue, 3, 72}));
  ASSERT_TRUE(link.PushEdit({Edit::kEnd, 3, 0}));
  std::vector<Recorded> out;
  const clap_output_events_t list{&out, Push};
  std::vector<std::pair<clap_id, double>> set;
  link.DrainEdits(&list, 7, [&](clap_id param, double value) { set.emplace_back(param, value); });
  EXPECT_EQ(set, (std::vector<std::pair<clap_id, double>>{{3, 49}, {3, 72}}));
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0].type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
  EXPECT_EQ(out[1].type, CLAP_EVENT_PARAM_VALUE);
  EXPECT_EQ(out[2].value, 72);
  EXPECT_EQ(out[3].type, CLAP_EVENT_PARAM_GESTURE_END);
  for (const Recorded& r : out) {
    EXPECT_EQ(r.time, 7u);
    EXPECT_EQ(r.param, 3u);
  }
  // Drained: nothing twice; no host list is no events but the same sound.
  link.DrainEdits(&list, 0, [&](clap_id, double) { ADD_FAILURE() << "an edit came twice"; });
  ASSERT_TRUE(link.PushEdit({Edit::kValue, 1, 500}));
  link.DrainEdits(nullptr, 0, [&](clap_id param, double value) { set.emplace_back(param, value); });
  EXPECT_EQ(set.back(), (std::pair<clap_id, double>{1, 500}));
  EXPECT_EQ(out.size(), 4u);
}

TEST(ClapGuiLink, AFullRingRefusesAndKeepsWhatItHolds) {
  ClapGuiLink link;
  for (std::uint32_t i = 0; i < ClapGuiLink::kQueueSize; ++i)
    ASSERT_TRUE(link.PushEdit({ClapGuiLink::Edit::kValue, 0, static_cast<double>(i)}));
  EXPECT_FALSE(link.PushEdit({ClapGuiLink::Edit::kValue, 0, -1}));
  ClapGuiLink::Edit edit;
  ASSERT_TRUE(link.PopEdit(edit));
  EXPECT_EQ(edit.value, 0);
  EXPECT_TRUE(link.PushEdit({ClapGuiLink::Edit::kValue, 0, -1})) << "room again after one was taken";
  double last = 0;
  std::uint32_t count = 1;
  while (link.PopEdit(edit)) {
    last = edit.value;
    ++count;
  }
  EXPECT_EQ(count, ClapGuiLink::kQueueSize + 1);
  EXPECT_EQ(last, -1);
}

TEST(ClapGuiLink, ValuesAndTheMeterAreSeenOnceEach) {
  ClapGuiLink link;
  EXPECT_EQ(link.TakeChanged(), 0u);
  link.PublishValue(1, 250);
  link.PublishValue(10, 1);
  link.PublishValue(11, 5);  // no such parameter: ignored
  EXPECT_EQ(link.TakeChanged(), (1u << 1) | (1u << 10));
  EXPECT_EQ(link.Value(1), 250);
  EXPECT_EQ(link.TakeChanged(), 0u);
  // The largest peak since the editor last looked, whatever came after it.
  link.PublishMeter(0.25);
  link.PublishMeter(-0.75);
  link.PublishMeter(0.5);
  link.PublishMeter(std::numeric_limits<double>::quiet_NaN());
  EXPECT_FLOAT_EQ(static_cast<float>(link.TakeMeter()), 0.75f);
  EXPECT_EQ(link.TakeMeter(), 0);
}

}  // namespace
