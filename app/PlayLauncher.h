#pragma once
// fretly --play: handed to the sound module fretly-audio.so, which alone links the
// synthesizer, so that no other start of the program loads it.

class CCommandLine;

// Loads the sound module and plays; the program's exit status.
int AfxLaunchPlay(const CCommandLine& line);
