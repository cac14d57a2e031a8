#pragma once
// Reading the song to play exactly as the editor opens a file, without a window: what
// the editor would show in a message box (a missing file, a file it refuses) becomes
// the error text instead.
#include <memory>
#include <string>

class CFretlyDoc;

// The document read from path; nullptr with the message in error.
std::unique_ptr<CFretlyDoc> AfxReadSongFile(const std::string& path, std::string& error);
