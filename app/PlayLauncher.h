#pragma once
// fretly --play: handed to the sound module fretly-audio.so, which alone links the
// synthesizer, so that no other start of the program loads it.

// Whether the command line asks to play a song.
bool AfxIsPlayCommand(int argc, char* argv[]);
// Loads the sound module and plays; the program's exit status.
int AfxLaunchPlay(int argc, char* argv[]);
