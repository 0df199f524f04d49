#include "formats/lv2/lv2_transport.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include <lv2/time/time.h>

void Lv2Transport::Map(LV2_URID_Map* map) {
  const auto m = [map](const char* uri) { return map->map(map->handle, uri); };
  urid_.atomSequence = m(LV2_ATOM__Sequence);
  urid_.atomBlank = m(LV2_ATOM__Blank);
  urid_.atomObject = m(LV2_ATOM__Object);
  urid_.atomFloat = m(LV2_ATOM__Float);
  urid_.atomDouble = m(LV2_ATOM__Double);
  urid_.atomInt = m(LV2_ATOM__Int);
  urid_.atomLong = m(LV2_ATOM__Long);
  urid_.timePosition = m(LV2_TIME__Position);
  urid_.bar = m(LV2_TIME__bar);
  urid_.barBeat = m(LV2_TIME__barBeat);
  urid_.beatUnit = m(LV2_TIME__beatUnit);
  urid_.beatsPerBar = m(LV2_TIME__beatsPerBar);
  urid_.beatsPerMinute = m(LV2_TIME__beatsPerMinute);
  urid_.speed = m(LV2_TIME__speed);
}

namespace {

// Atom sizes and contents, read with memcpy: a host's buffer need not be
// aligned for us.
template <typename T>
T Load(const std::uint8_t* at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

constexpr std::uint32_t Padded(std::uint32_t size) {
  return (size + 7u) & ~7u;
}

}  // namespace

void Lv2Transport::Read(const LV2_Atom_Sequence* sequence) {
  // Unmapped (no URI map from the host): nothing can be recognised.
  if (sequence == nullptr || urid_.timePosition == 0) return;
  if (sequence->atom.type != urid_.atomSequence || sequence->atom.size < sizeof(LV2_Atom_Sequence_Body)) {
    return;
  }
  const auto* base = reinterpret_cast<const std::uint8_t*>(sequence);
  // Events lie between the sequence body's header and its end.
  const std::uint64_t end = sizeof(LV2_Atom) + static_cast<std::uint64_t>(sequence->atom.size);
  std::uint64_t at = sizeof(LV2_Atom_Sequence);
  while (at + sizeof(LV2_Atom_Event) <= end) {
    const auto event = base + at;
    const auto body = Load<LV2_Atom>(event + offsetof(LV2_Atom_Event, body));
    const std::uint64_t bodyStart = at + sizeof(LV2_Atom_Event);
    if (body.size > end - bodyStart) return;  // the event claims more than is left
    if ((body.type == urid_.atomObject || body.type == urid_.atomBlank) &&
        body.size >= sizeof(LV2_Atom_Object_Body)) {
      const auto otype = Load<LV2_URID>(base + bodyStart + offsetof(LV2_Atom_Object_Body, otype));
      if (otype == urid_.timePosition) ReadPosition(base + bodyStart, body.size);
    }
    at = bodyStart + Padded(body.size);
  }
}

void Lv2Transport::ReadPosition(const std::uint8_t* body, std::uint32_t size) {
  // A number of any atom number type that fits its property; the value
  // stays as it was for any other atom or a value that is not finite.
  double bpm = NAN, perBar = NAN, unit = NAN, barValue = NAN, beat = NAN, speedValue = NAN;
  std::uint64_t at = sizeof(LV2_Atom_Object_Body);
  while (at + sizeof(LV2_Atom_Property_Body) <= size) {
    const auto key = Load<LV2_URID>(body + at + offsetof(LV2_Atom_Property_Body, key));
    const auto value = Load<LV2_Atom>(body + at + offsetof(LV2_Atom_Property_Body, value));
    const std::uint64_t valueStart = at + sizeof(LV2_Atom_Property_Body);
    if (value.size > size - valueStart) break;  // the property claims more than the object holds
    const std::uint8_t* data = body + valueStart;
    double v = NAN;
    if (value.type == urid_.atomFloat && value.size >= sizeof(float)) {
      v = Load<float>(data);
    } else if (value.type == urid_.atomDouble && value.size >= sizeof(double)) {
      v = Load<double>(data);
    } else if (value.type == urid_.atomInt && value.size >= sizeof(std::int32_t)) {
      v = Load<std::int32_t>(data);
    } else if (value.type == urid_.atomLong && value.size >= sizeof(std::int64_t)) {
      v = static_cast<double>(Load<std::int64_t>(data));
    }
    if (key == urid_.beatsPerMinute) bpm = v;
    if (key == urid_.beatsPerBar) perBar = v;
    if (key == urid_.beatUnit) unit = v;
    if (key == urid_.bar) barValue = v;
    if (key == urid_.barBeat) beat = v;
    if (key == urid_.speed) speedValue = v;
    at = valueStart + Padded(value.size);
  }
  const auto take = [](double v, double& value) {
    if (std::isfinite(v)) value = v;
  };
  // Only a tempo that can be played is one; without it the last one holds.
  if (std::isfinite(bpm) && bpm > 0) {
    beatsPerMinute = bpm;
    tempoKnown = true;
  }
  take(perBar, beatsPerBar);
  take(unit, beatUnit);
  take(barValue, bar);
  take(beat, barBeat);
  take(speedValue, speed);
  known = true;
}

void Lv2Transport::Advance(std::uint32_t frames, double sampleRate) {
  if (!known || speed == 0 || !(sampleRate > 0) || !(beatsPerBar > 0)) return;
  barBeat += static_cast<double>(frames) * speed * beatsPerMinute / 60.0 / sampleRate;
  if (!std::isfinite(barBeat)) {
    barBeat = 0;
    return;
  }
  // Whole bars move into the bar count (no loop, so no absurd value can
  // keep the audio thread busy).
  const double bars = std::floor(barBeat / beatsPerBar);
  if (bars != 0) {
    bar += bars;
    barBeat -= bars * beatsPerBar;
  }
}

double Lv2Transport::QuarterNotesAtBarStart() const {
  return beatUnit > 0 ? bar * beatsPerBar * 4.0 / beatUnit : 0.0;
}

double Lv2Transport::QuarterNotes() const {
  return beatUnit > 0 ? (bar * beatsPerBar + barBeat) * 4.0 / beatUnit : 0.0;
}
