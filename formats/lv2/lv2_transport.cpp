#include "formats/lv2/lv2_transport.h"

#include <cmath>

#include <lv2/atom/util.h>
#include <lv2/time/time.h>

void Lv2Transport::Map(LV2_URID_Map* map) {
  const auto m = [map](const char* uri) { return map->map(map->handle, uri); };
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

void Lv2Transport::Read(const LV2_Atom_Sequence* sequence) {
  // Unmapped (no URI map from the host): nothing can be recognised.
  if (sequence == nullptr || urid_.timePosition == 0 ||
      sequence->atom.size < sizeof(LV2_Atom_Sequence_Body)) {
    return;
  }
  LV2_ATOM_SEQUENCE_FOREACH(sequence, event) {
    const LV2_Atom& body = event->body;
    if (body.type != urid_.atomObject && body.type != urid_.atomBlank) continue;
    if (body.size < sizeof(LV2_Atom_Object_Body)) continue;
    const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&body);
    if (object->body.otype == urid_.timePosition) ReadPosition(object);
  }
}

void Lv2Transport::ReadPosition(const LV2_Atom_Object* position) {
  // A number of any atom number type; the value stays as it was for any
  // other atom or a value that is not finite.
  const auto take = [this](const LV2_Atom* atom, double& value) {
    if (atom == nullptr) return;
    double v = NAN;
    if (atom->type == urid_.atomFloat && atom->size >= sizeof(float)) {
      v = reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
    } else if (atom->type == urid_.atomDouble && atom->size >= sizeof(double)) {
      v = reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
    } else if (atom->type == urid_.atomInt && atom->size >= sizeof(std::int32_t)) {
      v = reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
    } else if (atom->type == urid_.atomLong && atom->size >= sizeof(std::int64_t)) {
      v = static_cast<double>(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
    }
    if (std::isfinite(v)) value = v;
  };
  const LV2_Atom* bpm = nullptr;
  const LV2_Atom* perBar = nullptr;
  const LV2_Atom* unit = nullptr;
  const LV2_Atom* barAtom = nullptr;
  const LV2_Atom* beat = nullptr;
  const LV2_Atom* speedAtom = nullptr;
  LV2_ATOM_OBJECT_FOREACH(position, property) {
    const LV2_URID key = property->key;
    if (key == urid_.beatsPerMinute) bpm = &property->value;
    if (key == urid_.beatsPerBar) perBar = &property->value;
    if (key == urid_.beatUnit) unit = &property->value;
    if (key == urid_.bar) barAtom = &property->value;
    if (key == urid_.barBeat) beat = &property->value;
    if (key == urid_.speed) speedAtom = &property->value;
  }
  take(bpm, beatsPerMinute);
  take(perBar, beatsPerBar);
  take(unit, beatUnit);
  take(barAtom, bar);
  take(beat, barBeat);
  take(speedAtom, speed);
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
