#pragma once
// The line a player shows while it plays: "Staff 2 of 12, bar 5, 0:07 of 1:30".
#include <cstdint>
#include <string>

// m:ss, or h:mm:ss from an hour up; whole seconds, rounded down.
std::string AfxFormatPlayTime(std::uint64_t nFrames, int nSampleRate);
// nStaff 0-based; the line without any terminal control.
std::string AfxFormatPlayProgress(int nStaff, int nStaffs, int nBar, std::uint64_t nFrame, std::uint64_t nTotalFrames,
                                  int nSampleRate);
