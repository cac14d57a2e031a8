#pragma once
// The command line of playing: --play SONG [--to OUT.wav] [--tempo BPM] [--from STAFF],
// from the program's one parsed command line.
#include <string>

class CCommandLine;

struct CPlayOptions {
    std::string strSong;
    std::string strOut;      // empty: play on the sound device
    int nTempo = 0;          // beats per minute; 0: the song's own
    int nFrom = 1;           // the staff to start from, 1-based
};

// Reads the options; false with the message to show in error.
bool AfxGetPlayOptions(const CCommandLine& line, CPlayOptions& options, std::string& error);
