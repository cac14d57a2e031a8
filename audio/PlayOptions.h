#pragma once
// The command line of playing: --play SONG [--to OUT.wav] [--tempo BPM] [--from STAFF].
// Values may also be given as --tempo=BPM. Other arguments are ignored, as the editor
// ignores switches it does not know.
#include <string>
#include <vector>

struct CPlayOptions {
    std::string strSong;
    std::string strOut;      // empty: play on the sound device
    int nTempo = 0;          // beats per minute; 0: the song's own
    int nFrom = 1;           // the staff to start from, 1-based
};

// Whether the arguments (without the program name) ask to play a song.
bool AfxWantsPlay(const std::vector<std::string>& args);
// Reads the options; false with the message to show in error.
bool AfxParsePlayOptions(const std::vector<std::string>& args, CPlayOptions& options, std::string& error);
