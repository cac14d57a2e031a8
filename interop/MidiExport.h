#pragma once
// A Standard MIDI File (type 1) of a song: a tempo track (the title as its name, the
// tempo) and one guitar track with the events of CPerformance, so the file says what
// playback sounds. Written in two passes over the song (the track's length first), in
// constant memory whatever the song's length.
class CFretlyDoc;
class CExportSink;

// nTempo > 0 replaces the song's tempo.
void AfxExportMidi(const CFretlyDoc& doc, CExportSink& sink, int nTempo = 0);
