// Lv2Transport: the host's tempo and transport as the time:Position objects
// on the plug-in's atom input tell them, kept between blocks and advanced
// by the frames played. Every read stays inside the atom that holds it:
// the sequence's own size bounds its events, an event's body bounds the
// object's properties; what does not fit, or has a type not looked for, is
// skipped. [audio]
#pragma once

#include <cstdint>

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

class Lv2Transport {
 public:
  void Map(LV2_URID_Map* map);
  // Takes the position objects of one block's event sequence.
  void Read(const LV2_Atom_Sequence* sequence);
  // Moves the position on by `frames` at `sampleRate` while rolling.
  void Advance(std::uint32_t frames, double sampleRate);

  bool known = false;       // a position has arrived since instantiation
  bool tempoKnown = false;  // one of them gave a tempo; later ones without it keep it
  double beatsPerMinute = 0;
  double beatsPerBar = 4;
  double beatUnit = 4;
  double bar = 0;
  double barBeat = 0;
  double speed = 0;

  double QuarterNotesAtBarStart() const;
  double QuarterNotes() const;

 private:
  // body: the object's body, `size` bytes (at least an LV2_Atom_Object_Body).
  void ReadPosition(const std::uint8_t* body, std::uint32_t size);

  struct Urids {
    LV2_URID atomSequence = 0, atomBlank = 0, atomObject = 0, atomFloat = 0, atomDouble = 0, atomInt = 0,
             atomLong = 0;
    LV2_URID timePosition = 0, bar = 0, barBeat = 0, beatUnit = 0, beatsPerBar = 0, beatsPerMinute = 0,
             speed = 0;
  } urid_;
};
