#include "audio/FluidSynth.h"

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>
#include <fluidsynth.h>
#include <mutex>
#include <sys/stat.h>

namespace {

std::mutex g_logMutex;
std::string g_strErrors;

void CaptureLog(int nLevel, const char* pszMessage, void*)
{
    if (nLevel > FLUID_ERR || pszMessage == nullptr)
        return;   // warnings and chatter are not for the user
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (g_strErrors.size() < 4096)
        g_strErrors += (g_strErrors.empty() ? "" : "; ") + std::string(pszMessage);
}

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}
void IgnoreGLibMessage(const char*, int, const char*, void*) {}

// Sets a library's message handler, through FluidSynth, which has loaded the library: the
// module does not link it too.
template <typename Setter, typename... Args>
void SetLoadedHandler(const char* pszLibrary, const char* pszSetter, Args... args)
{
    if (void* pLibrary = ::dlopen(pszLibrary, RTLD_LAZY | RTLD_NOLOAD)) {
        if (auto pSet = reinterpret_cast<Setter>(::dlsym(pLibrary, pszSetter)))
            pSet(args...);
        ::dlclose(pLibrary);
    }
}

void InstallLogCapture()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, CaptureLog, nullptr);
        // ALSA's library, and GLib for the soundfont readers, print their own errors on
        // standard error ahead of the message that says what failed; FluidSynth's log
        // already has the reason.
        using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
        SetLoadedHandler<int (*)(AlsaHandler)>("libasound.so.2", "snd_lib_error_set_handler", &IgnoreAlsaError);
        using GLibHandler = void (*)(const char*, int, const char*, void*);
        SetLoadedHandler<GLibHandler (*)(GLibHandler, void*)>("libglib-2.0.so.0", "g_log_set_default_handler",
                                                               &IgnoreGLibMessage, static_cast<void*>(nullptr));
    });
}

bool IsSocket(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

// The drivers worth trying, in order. A sound server's client library is tried only
// where a server is there to answer: PulseAudio's would otherwise start a daemon of its
// own, and an absent server is no reason to wait.
std::vector<std::string> DriversToTry(fluid_settings_t* pSettings)
{
    std::vector<std::string> supported;
    fluid_settings_foreach_option(pSettings, "audio.driver", &supported,
                                  [](void* pData, const char*, const char* pszOption) {
                                      static_cast<std::vector<std::string>*>(pData)->push_back(pszOption);
                                  });
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string runtimeDir = runtime != nullptr ? runtime : "";
    const char* pulseServer = std::getenv("PULSE_SERVER");
    const char* pipewireRemote = std::getenv("PIPEWIRE_REMOTE");
    const bool bPipeWire = (pipewireRemote != nullptr && *pipewireRemote != '\0') ||
                           (!runtimeDir.empty() && IsSocket(runtimeDir + "/pipewire-0"));
    // PipeWire's PulseAudio service answers on the same socket.
    const bool bPulse = (pulseServer != nullptr && *pulseServer != '\0') ||
                        (!runtimeDir.empty() && IsSocket(runtimeDir + "/pulse/native"));
    std::vector<std::string> out;
    auto add = [&](const char* name, bool bWanted) {
        if (bWanted && std::find(supported.begin(), supported.end(), name) != supported.end())
            out.emplace_back(name);
    };
    add("pipewire", bPipeWire);
    add("pulseaudio", bPulse);
    add("alsa", true);
    return out;
}

} // namespace

std::string AfxTakeFluidErrors()
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    std::string out;
    out.swap(g_strErrors);
    return out;
}

CFluidSynth::CFluidSynth() { InstallLogCapture(); }

CFluidSynth::~CFluidSynth()
{
    StopAudio();
    if (m_pSynth != nullptr)
        delete_fluid_synth(m_pSynth);
    if (m_pSettings != nullptr)
        delete_fluid_settings(m_pSettings);
}

bool CFluidSynth::Create(std::string& error)
{
    AfxTakeFluidErrors();
    m_pSettings = new_fluid_settings();
    if (m_pSettings == nullptr) {
        error = AfxTakeFluidErrors();
        return false;
    }
    fluid_settings_setnum(m_pSettings, "synth.sample-rate", kPlaySampleRate);
    // A big soundfont (FluidR3 is 140 MB) would be read whole before the first note;
    // this way only the samples of the instruments played are.
    fluid_settings_setint(m_pSettings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setnum(m_pSettings, "synth.gain", 0.5);
    // Blocks of 23 ms, eight queued: a busy machine must not starve the sound server, and
    // nobody plays along, so the 0.2 s of latency costs nothing (a stop closes the stream,
    // so it is still at once).
    fluid_settings_setint(m_pSettings, "audio.period-size", 1024);
    fluid_settings_setint(m_pSettings, "audio.periods", 8);
    // Locking the samples into memory needs a limit few users have, and gains a song
    // nothing.
    fluid_settings_setint(m_pSettings, "synth.lock-memory", 0);
    m_pSynth = new_fluid_synth(m_pSettings);
    if (m_pSynth == nullptr) {
        error = AfxTakeFluidErrors();
        return false;
    }
    return true;
}

bool CFluidSynth::LoadSoundFont(const std::string& path, std::string& error)
{
    AfxTakeFluidErrors();
    if (fluid_synth_sfload(m_pSynth, path.c_str(), 1) == FLUID_FAILED) {
        error = AfxTakeFluidErrors();
        if (error.empty())
            error = "not a soundfont FluidSynth can read";
        return false;
    }
    return true;
}

bool CFluidSynth::StartAudio(CSoundScheduler& scheduler, std::string& error)
{
    m_pScheduler = &scheduler;
    std::string tried;
    for (const std::string& driver : DriversToTry(m_pSettings)) {
        AfxTakeFluidErrors();
        fluid_settings_setstr(m_pSettings, "audio.driver", driver.c_str());
        m_pDriver = new_fluid_audio_driver2(m_pSettings, AudioCallback, this);
        if (m_pDriver != nullptr) {
            m_strDriver = driver;
            return true;
        }
        const std::string why = AfxTakeFluidErrors();
        tried += (tried.empty() ? "" : "; ") + driver + (why.empty() ? "" : ": " + why);
    }
    error = tried.empty() ? std::string("this FluidSynth supports none of pipewire, pulseaudio, alsa") : tried;
    return false;
}

void CFluidSynth::StopAudio()
{
    if (m_pDriver == nullptr)
        return;
    m_bStopRequested.store(true);
    // The audio thread answers within a block; a server that stopped asking never will,
    // so this waits only a little, and closing the driver ends the sound either way.
    for (int i = 0; i < 100 && !m_bStopped.load(); ++i) {
        struct timespec ts {0, 5'000'000};
        ::nanosleep(&ts, nullptr);
    }
    delete_fluid_audio_driver(m_pDriver);
    m_pDriver = nullptr;
    fluid_synth_all_sounds_off(m_pSynth, -1);
}

int CFluidSynth::AudioCallback(void* pData, int nLen, int, float*[], int nOut, float* out[])
{
    auto* pThis = static_cast<CFluidSynth*>(pData);
    pThis->m_nPulled.fetch_add(static_cast<std::uint64_t>(nLen));
    // The buffers come zeroed: what is not rendered is silence.
    if (pThis->m_bStopRequested.load()) {
        if (!pThis->m_bStopped.load()) {
            fluid_synth_all_sounds_off(pThis->m_pSynth, -1);
            pThis->m_bStopped.store(true);
        }
        return FLUID_OK;
    }
    if (nOut < 2)
        return FLUID_FAILED;
    pThis->m_pLeft = out[0];
    pThis->m_pRight = out[1];
    pThis->m_nPos = 0;
    pThis->m_pScheduler->Render(nLen, *pThis);
    pThis->m_pLeft = pThis->m_pRight = nullptr;
    return FLUID_OK;
}

int CFluidSynth::RenderInto(CSoundScheduler& scheduler, int nFrames, std::vector<std::int16_t>& out)
{
    out.clear();
    m_pS16 = &out;
    const int nDone = scheduler.Render(nFrames, *this);
    m_pS16 = nullptr;
    return nDone;
}

void CFluidSynth::RenderFrames(int nFrames, float fFrom, float fTo)
{
    const bool bFade = fFrom != 1 || fTo != 1;
    auto gain = [&](int i) { return fFrom + (fTo - fFrom) * static_cast<float>(i) / static_cast<float>(nFrames); };
    if (m_pS16 != nullptr) {
        const std::size_t nAt = m_pS16->size();
        m_pS16->resize(nAt + static_cast<std::size_t>(nFrames) * 2);
        std::int16_t* p = m_pS16->data() + nAt;
        fluid_synth_write_s16(m_pSynth, nFrames, p, 0, 2, p, 1, 2);
        for (int i = 0; bFade && i < nFrames; ++i)
            for (int c = 0; c < 2; ++c)
                p[2 * i + c] = static_cast<std::int16_t>(static_cast<float>(p[2 * i + c]) * gain(i));
        return;
    }
    // Reverb and chorus go into the same two channels as the dry sound.
    float* dry[2] = {m_pLeft + m_nPos, m_pRight + m_nPos};
    float* fx[4] = {dry[0], dry[1], dry[0], dry[1]};
    fluid_synth_process(m_pSynth, nFrames, 4, fx, 2, dry);
    for (int i = 0; bFade && i < nFrames; ++i) {
        dry[0][i] *= gain(i);
        dry[1][i] *= gain(i);
    }
    m_nPos += nFrames;
}

void CFluidSynth::Send(const CSoundEvent& event)
{
    const int nChannel = event.nStatus & 0x0F;
    switch (event.nStatus & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(m_pSynth, nChannel, event.nData1);
        break;
    case 0x90:
        if (event.nData2 == 0)
            fluid_synth_noteoff(m_pSynth, nChannel, event.nData1);
        else
            fluid_synth_noteon(m_pSynth, nChannel, event.nData1, event.nData2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(m_pSynth, nChannel, event.nData1, event.nData2);
        break;
    case 0xB0:
        fluid_synth_cc(m_pSynth, nChannel, event.nData1, event.nData2);
        break;
    case 0xC0:
        fluid_synth_program_change(m_pSynth, nChannel, event.nData1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(m_pSynth, nChannel, event.nData1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(m_pSynth, nChannel, event.nData1 | (event.nData2 << 7));
        break;
    default:
        break;   // not a channel message: nothing a synth plays
    }
}

bool CFluidSynth::IsSilent() { return fluid_synth_get_active_voice_count(m_pSynth) == 0; }
