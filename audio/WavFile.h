#pragma once
// The header of a canonical PCM WAV file: 16-bit little-endian stereo samples, the
// form every audio tool reads.
#include <cstdint>
#include <string>

constexpr int kWavChannels = 2;
constexpr int kWavBytesPerFrame = 2 * kWavChannels;

// The largest number of frames one WAV file can say it holds (its sizes are 32 bits).
std::uint64_t AfxMaxWavFrames();
// The 44 bytes that begin a WAV file of nFrames frames at nSampleRate; the caller checks
// nFrames against AfxMaxWavFrames first.
std::string AfxWavHeader(std::uint64_t nFrames, int nSampleRate);
