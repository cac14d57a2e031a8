#pragma once
// fretly --export SONG.tab OUT: runs in the launcher, with no window and no toolkit.
class CCommandLine;

int AfxRunExportCommand(const CCommandLine& line);
