#include "audio/WavFile.h"

namespace {

void PutLE(std::string& out, std::uint32_t nValue, int nBytes)
{
    for (int i = 0; i < nBytes; ++i)
        out += static_cast<char>((nValue >> (8 * i)) & 0xFF);
}

constexpr std::uint32_t kHeaderAfterRiffSize = 36;   // from "WAVE" to the data bytes

} // namespace

std::uint64_t AfxMaxWavFrames() { return (0xFFFFFFFFull - kHeaderAfterRiffSize) / kWavBytesPerFrame; }

std::string AfxWavHeader(std::uint64_t nFrames, int nSampleRate)
{
    const auto nDataBytes = static_cast<std::uint32_t>(nFrames * kWavBytesPerFrame);
    std::string out;
    out.reserve(44);
    out += "RIFF";
    PutLE(out, kHeaderAfterRiffSize + nDataBytes, 4);
    out += "WAVEfmt ";
    PutLE(out, 16, 4);                   // size of the format chunk
    PutLE(out, 1, 2);                    // PCM
    PutLE(out, kWavChannels, 2);
    PutLE(out, static_cast<std::uint32_t>(nSampleRate), 4);
    PutLE(out, static_cast<std::uint32_t>(nSampleRate) * kWavBytesPerFrame, 4);
    PutLE(out, kWavBytesPerFrame, 2);    // block align
    PutLE(out, 16, 2);                   // bits per sample
    out += "data";
    PutLE(out, nDataBytes, 4);
    return out;
}
