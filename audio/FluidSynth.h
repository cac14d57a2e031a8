#pragma once
// FluidSynth as the player's synthesizer: one General MIDI synth at 44.1 kHz, fed by a
// CSoundScheduler, that either sounds on the session's sound server (its audio thread
// pulls the audio, and the scheduler's events land on their frames) or renders 16-bit
// stereo into memory for a file. Only the sound module links it (PlayMain.cpp).
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/SoundScheduler.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_audio_driver_t;

constexpr int kPlaySampleRate = 44100;

class CFluidSynth : public CSoundSink {
public:
    CFluidSynth();
    ~CFluidSynth() override;
    CFluidSynth(const CFluidSynth&) = delete;
    CFluidSynth& operator=(const CFluidSynth&) = delete;

    // Makes the synth; false with the message in error.
    bool Create(std::string& error);
    // Loads the instruments; false with the message in error.
    bool LoadSoundFont(const std::string& path, std::string& error);

    // Starts sounding on the first sound server or device that opens (PipeWire,
    // PulseAudio, ALSA, as this FluidSynth supports them); false with the reason.
    bool StartAudio(CSoundScheduler& scheduler, std::string& error);
    // Silences everything at once: the audio thread cuts all voices in its next block
    // and sends silence; then the device is closed.
    void StopAudio();
    // Frames the audio thread has asked for so far (it stops when the server does).
    std::uint64_t GetFramesPulled() const { return m_nPulled.load(); }

    // Renders the next nFrames of the scheduler into out (interleaved, stereo); the
    // frames rendered.
    int RenderInto(CSoundScheduler& scheduler, int nFrames, std::vector<std::int16_t>& out);

    // CSoundSink
    void RenderFrames(int nFrames, float fFrom, float fTo) override;
    void Send(const CSoundEvent& event) override;
    bool IsSilent() override;

    // The name of the driver StartAudio opened.
    const std::string& GetDriverName() const { return m_strDriver; }

private:
    static int AudioCallback(void* pData, int nLen, int nFx, float* fx[], int nOut, float* out[]);

    _fluid_hashtable_t* m_pSettings = nullptr;
    _fluid_synth_t* m_pSynth = nullptr;
    _fluid_audio_driver_t* m_pDriver = nullptr;
    CSoundScheduler* m_pScheduler = nullptr;
    std::string m_strDriver;

    // Where RenderFrames puts audio: the driver's float buffers, or a 16-bit buffer.
    float* m_pLeft = nullptr;
    float* m_pRight = nullptr;
    std::vector<std::int16_t>* m_pS16 = nullptr;
    int m_nPos = 0;

    std::atomic<bool> m_bStopRequested{false};
    std::atomic<bool> m_bStopped{false};
    std::atomic<std::uint64_t> m_nPulled{0};
};

// The messages FluidSynth has logged as errors since the last call (it logs the reason
// a driver or soundfont fails there), joined; they are never printed by themselves.
std::string AfxTakeFluidErrors();
