#pragma once
// Exporting a .tab song with no window: the song is read exactly as File Open reads it
// (a file the editor refuses is refused, with the editor's own message), the format
// follows the output's extension, and the output is written safely (the old file stays
// until every byte of the new one is on disk).
#include <string>
#include <vector>

class CFretlyDoc;

enum class EExportFormat { unknown, musicXml, midi, plainText };

// .musicxml or .xml, .mid or .midi, .txt, in any case.
EExportFormat AfxExportFormatOf(const std::string& path);

// Reads path into doc as File Open does, showing nothing: false, with the message the
// editor would show, when the file cannot be read or is not a Fretly file.
bool AfxLoadSong(const std::string& path, CFretlyDoc& doc, std::string& message);

// Exports song to out; returns the program's exit status (0 or 1). messages receives
// what the user is to be told, errors and warnings alike, one text each.
int AfxExportSong(const std::string& song, const std::string& out, std::vector<std::string>& messages);
