#pragma once
// For the tests of fretly --play: songs written as the editor writes them, the program
// run on them, and what a real onset and pitch detector (aubio) hears in the sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "document/FretlyDoc.h"
#include "e2e/E2eSupport.h"
#include "support/TestFiles.h"

namespace play {

// At 120 quarter notes a minute a column (a sixteenth) lasts 0.125 s.
constexpr double kStep = 0.125;

struct CNote {
    int nStaff;
    int nRow;     // 0 the high e string ... 5 the low E
    int nCol;     // 1-76
    std::string text;
};

struct CSong {
    int nStaffs = 1;
    std::vector<CNote> notes;
    std::vector<std::pair<int, int>> barLines;   // staff, column
    std::string comments;                        // lines separated by CR LF
};

// Writes the song through the editor's own document and writer.
inline bool SaveSong(const std::filesystem::path& path, const CSong& song)
{
    CFretlyDoc doc;
    doc.m_bSkipHeaderDialog = true;
    doc.OnNewDocument();
    while (doc.m_nStaffs < song.nStaffs)
        doc.InsertStaff(doc.m_nStaffs - 1);
    for (const CNote& note : song.notes)
        for (std::size_t i = 0; i < note.text.size(); ++i)
            doc.m_ppStaffs[note.nStaff]->m_rows[note.nRow][note.nCol + static_cast<int>(i)] = note.text[i];
    for (auto [nStaff, nCol] : song.barLines)
        doc.SetBarLine(nStaff, nCol);
    doc.m_strComments = song.comments;
    return doc.OnSaveDocument(path.string());
}

// The General MIDI soundfont the program would find, or "".
inline std::string SystemSoundFont()
{
    for (const char* path : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3",
                             "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"})
        if (std::filesystem::exists(path))
            return path;
    return {};
}

// Why the listening tests cannot run here, or "".
inline std::string MissingForListening()
{
    if (e2e::FretlyExe().empty())
        return "FRETLY_EXE is not set";
    for (const char* tool : {"aubioonset", "aubiopitch"})
        if (!e2e::HaveProgram(tool))
            return std::string(tool) + " is not installed (Debian package aubio-tools)";
    if (SystemSoundFont().empty())
        return "no General MIDI soundfont is installed (Debian package fluid-soundfont-gm)";
    return {};
}

inline std::vector<std::vector<double>> ReadColumns(const std::string& text)
{
    std::vector<std::vector<double>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::vector<double> row;
        for (double d; fields >> d;)
            row.push_back(d);
        if (!row.empty())
            rows.push_back(row);
    }
    return rows;
}

// The onset times aubio hears, in seconds.
inline std::vector<double> Onsets(const std::filesystem::path& wav)
{
    std::vector<double> out;
    for (const auto& row : ReadColumns(e2e::Shell("aubioonset -i " + e2e::Quote(wav.string()) + " 2>/dev/null")))
        out.push_back(row[0]);
    return out;
}

// Pitch over time as aubio's yinfft method hears it, as MIDI key numbers (0: none).
using CPitchTrack = std::vector<std::pair<double, double>>;
inline CPitchTrack Pitches(const std::filesystem::path& wav)
{
    CPitchTrack out;
    const std::string command = "aubiopitch -p yinfft -u midi -i " + e2e::Quote(wav.string()) + " 2>/dev/null";
    for (const auto& row : ReadColumns(e2e::Shell(command)))
        if (row.size() >= 2)
            out.emplace_back(row[0], row[1]);
    return out;
}

// The median pitch heard from t0 to t1, rounded to a key; -1 when nothing was heard.
// A plucked string's fundamental fades faster than its octave, so a detector drifts to
// the octave as a note rings: PitchOfNoteAt listens to the first third of a second only.
inline int PitchBetween(const CPitchTrack& track, double t0, double t1)
{
    std::vector<double> heard;
    for (auto [t, p] : track)
        if (t >= t0 && t < t1 && p > 0)
            heard.push_back(p);
    if (heard.empty())
        return -1;
    std::nth_element(heard.begin(), heard.begin() + heard.size() / 2, heard.end());
    return static_cast<int>(std::lround(heard[heard.size() / 2]));
}

// The pitch of the note that begins at t (an onset time).
inline int PitchOfNoteAt(const CPitchTrack& track, double t) { return PitchBetween(track, t + 0.08, t + 0.35); }

// Every expected onset was heard within the tolerance, and nothing else was.
inline ::testing::AssertionResult OnsetsMatch(const std::vector<double>& heard, const std::vector<double>& expected,
                                              double dTolerance)
{
    std::ostringstream all;
    for (double t : heard)
        all << t << ' ';
    all << "; expected: ";
    for (double t : expected)
        all << t << ' ';
    for (double t : expected)
        if (std::none_of(heard.begin(), heard.end(), [&](double h) { return std::fabs(h - t) <= dTolerance; }))
            return ::testing::AssertionFailure() << "no onset heard near " << t << " s; heard: " << all.str();
    for (double h : heard)
        if (std::none_of(expected.begin(), expected.end(), [&](double t) { return std::fabs(h - t) <= dTolerance; }))
            return ::testing::AssertionFailure() << "an onset at " << h << " s that the tab does not hold; heard: "
                                                 << all.str();
    return ::testing::AssertionSuccess();
}

// The left channel of a 16-bit stereo WAV file as the program writes it, from 0 to 1.
struct CWav {
    int nRate = 0;
    int nChannels = 0;
    int nBits = 0;
    std::vector<double> left;
};
inline CWav ReadWav(const std::filesystem::path& path)
{
    const std::string bytes = ReadFileBytes(path);
    CWav wav;
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return wav;
    auto u16 = [&](std::size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]) |
                                                                   static_cast<unsigned char>(bytes[at + 1]) << 8); };
    wav.nChannels = static_cast<int>(u16(22));
    wav.nRate = static_cast<int>(u16(24) | u16(26) << 16);
    wav.nBits = static_cast<int>(u16(34));
    for (std::size_t at = 44; wav.nChannels == 2 && at + 4 <= bytes.size(); at += 4)
        wav.left.push_back(static_cast<std::int16_t>(u16(at)) / 32768.0);
    return wav;
}

// The loudness from t0 to t1 in dB below full scale.
inline double LevelDb(const CWav& wav, double t0, double t1)
{
    const auto from = static_cast<std::size_t>(t0 * wav.nRate);
    const auto to = std::min(wav.left.size(), static_cast<std::size_t>(t1 * wav.nRate));
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += wav.left[i] * wav.left[i];
    return to > from ? 10 * std::log10(sum / static_cast<double>(to - from) + 1e-20) : -200;
}

// The energy of each pitch class (C=0 ... B=11) from t0 to t1, over keys 40-83, by a
// Goertzel filter at each key's frequency.
inline std::vector<double> PitchClassEnergy(const CWav& wav, double t0, double t1)
{
    std::vector<double> classes(12, 0.0);
    const auto from = static_cast<std::size_t>(t0 * wav.nRate);
    const auto to = std::min(wav.left.size(), static_cast<std::size_t>(t1 * wav.nRate));
    for (int key = 40; key <= 83; ++key) {
        const double f = 440.0 * std::pow(2.0, (key - 69) / 12.0);
        const double c = 2 * std::cos(2 * M_PI * f / wav.nRate);
        double s1 = 0, s2 = 0;
        for (std::size_t i = from; i < to; ++i) {
            const double s0 = wav.left[i] + c * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        classes[static_cast<std::size_t>(key % 12)] += s1 * s1 + s2 * s2 - c * s1 * s2;
    }
    return classes;
}

} // namespace play

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace play {

// Why no pseudo-terminal can be had here ("" when one can): a chroot or container without
// /dev/pts mounted has none, and the terminal tests then have nothing to run on.
inline std::string PseudoTerminalProblem()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return std::string("no pseudo-terminal can be opened: ") + std::strerror(errno);
    std::string problem;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0)
        problem = std::string("a pseudo-terminal cannot be unlocked: ") + std::strerror(errno);
    else if (const char* slave = ::ptsname(master); slave == nullptr)
        problem = "a pseudo-terminal has no name (is /dev/pts mounted?)";
    else if (const int fd = ::open(slave, O_RDWR | O_NOCTTY); fd < 0)
        problem = std::string(slave) + " cannot be opened (is /dev/pts mounted?): " + std::strerror(errno);
    else
        ::close(fd);
    ::close(master);
    return problem;
}

// The program run on a pseudo-terminal of its own, as from a shell: the terminal is its
// standard input, output and error and its controlling terminal, so closing it hangs up.
class CPtyRun {
public:
    CPtyRun() = default;
    CPtyRun(const CPtyRun&) = delete;
    CPtyRun& operator=(const CPtyRun&) = delete;
    ~CPtyRun()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        CloseTerminal();
    }

    bool Start(const std::vector<std::string>& argv, const e2e::Env& env)
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return false;
        // Only this side holds the terminal's master: closing it hangs the terminal up.
        ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
        const std::string slave = ::ptsname(m_master);
        std::vector<std::string> envs = e2e::MergedEnv(env);
        std::vector<char*> cargv = e2e::CStringArray(argv), cenv = e2e::CStringArray(envs);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::setsid();
            const int fd = ::open(slave.c_str(), O_RDWR);   // becomes the controlling terminal
            if (fd < 0)
                ::_exit(127);
            ::dup2(fd, 0);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            ::execve(cargv[0], cargv.data(), cenv.data());
            ::_exit(127);
        }
        return m_pid > 0;
    }

    // Reads what the program wrote until the condition holds on it, the program ends or
    // the limit passes; whether the condition held.
    bool ReadUntil(const std::function<bool(const std::string&)>& condition, std::chrono::milliseconds limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!condition(m_output)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || m_master < 0)
                return false;
            pollfd pfd{m_master, POLLIN, 0};
            if (::poll(&pfd, 1, static_cast<int>(std::min<long long>(left.count(), 200))) > 0) {
                char buf[512];
                const ssize_t n = ::read(m_master, buf, sizeof buf);
                if (n <= 0)
                    return condition(m_output);   // the terminal is closed: all is read
                m_output.append(buf, static_cast<std::size_t>(n));
            }
        }
        return true;
    }

    // Waits for the program to end; its wait status, or -1 when it did not end in time.
    int Wait(std::chrono::milliseconds limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return status;
            }
            if (std::chrono::steady_clock::now() > end)
                return -1;
            ReadUntil([](const std::string&) { return false; }, std::chrono::milliseconds(20));
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    void CloseTerminal()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }
    pid_t Pid() const { return m_pid; }
    const std::string& Output() const { return m_output; }

private:
    int m_master = -1;
    pid_t m_pid = -1;
    std::string m_output;
};

} // namespace play
