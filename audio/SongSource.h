#pragma once
// The song's performance (interop/Performance.h, the events the MIDI export writes) as
// what a player sounds, so that what is heard is what is exported.
#include <memory>

#include "audio/SoundSource.h"

class CFretlyDoc;

// Plays doc from staff nFromStaff (0-based); nTempo > 0 replaces the song's tempo. The
// document must outlive the source.
std::unique_ptr<CSoundSource> AfxMakeSongSource(const CFretlyDoc& doc, int nFromStaff, int nTempo);
