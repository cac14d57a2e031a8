#pragma once
// For the export tests: a song with every technique, exports to bytes and files, and the
// real programs that read what is exported (Debian's python3 with mido, MuseScore 3,
// FluidSynth, xmllint), run with a time limit.
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/interop/InteropTestSupport.h"
#include "e2e/E2eSupport.h"
#include "interop/ExportSink.h"
#include "interop/MidiExport.h"
#include "interop/MusicXmlExport.h"

// Two staffs: chords, hammer-on and pull-off, bend and release, slides (between notes,
// into and out of a note), vibrato, a trill, a tap, harmonics, a dead and a ghost note,
// notes of two columns' length and more, chord names and remarks; drop D with a capo.
inline void FillTechniqueSong(CFretlyDoc& doc)
{
    FillDoc(doc,
            {{{"5h7p5-----7b9r7---|12^---x---t12----|", "------5/7---------|-----------------|",
               "------------------|-<7>-------------|", "", "", "0-----------------|0----------------|"},
              "Am    C/G           F#m7"},
             {{"-(7)--/5---7\\-----|-0~~~---8*10------|", "", "", "", "", "-3----------------|"},
              " Bb   N.C.   Chorus & 'x'"}},
            "Tuning: D A D G B E\r\nCapo: 2\r\nTempo: 100\r\n");
}

inline std::string ExportMusicXmlBytes(const CFretlyDoc& doc)
{
    CStringSink sink;
    AfxExportMusicXml(doc, sink);
    return sink.m_str;
}

inline std::string ExportMidiBytes(const CFretlyDoc& doc)
{
    CStringSink sink;
    AfxExportMidi(doc, sink);
    return sink.m_str;
}

inline std::string InteropTool(const std::string& name)
{
    return std::string(FRETLY_SOURCE_DIR) + "/tests/core/interop/tools/" + name;
}

// Debian's own python3, where the Debian python modules load.
inline const char* kDebianPython = "/usr/bin/python3";

// Why a python module cannot be used, or "" when it can.
inline std::string PythonModuleMissing(const std::string& module)
{
    if (!e2e::HaveProgram(kDebianPython))
        return std::string(kDebianPython) + " is not installed";
    int nCode = -1;
    const std::string out = e2e::Shell(std::string(kDebianPython) + " -c 'import " + module + "'", &nCode, 60);
    return nCode == 0 ? std::string() : "python module " + module + " cannot be imported: " + out;
}

inline std::string RunTool(const std::string& script, const std::filesystem::path& file, int* pCode)
{
    return e2e::Shell(std::string(kDebianPython) + " " + e2e::Quote(InteropTool(script)) + " " +
                          e2e::Quote(file.string()),
                      pCode, 120);
}

// The lines of text that begin with prefix, without it.
inline std::vector<std::string> LinesWith(const std::string& text, const std::string& prefix)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0)
            lines.push_back(line.substr(prefix.size()));
    return lines;
}

// The system's General MIDI soundfont (the default-GM alternative), or "".
inline std::string DefaultSoundFont()
{
    for (const char* path : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3",
                             "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"})
        if (std::filesystem::exists(path))
            return path;
    return "";
}
