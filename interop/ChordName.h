#pragma once
// A chord name of the text row ("Am", "F#m7", "Bbmaj7", "D/F#", "Esus4") taken apart for
// a notation program: root, the kind of chord in MusicXML's terms, and a bass note.
#include <string>
#include <string_view>

struct CChordName {
    char m_chRootStep = 'C';
    int m_nRootAlter = 0;         // -1 flat, +1 sharp
    std::string m_strKind;        // MusicXML kind value: "major", "minor-seventh", ...
    std::string m_strKindText;    // the suffix as written, for display ("m7")
    bool m_bHasBass = false;
    char m_chBassStep = 'C';
    int m_nBassAlter = 0;
};

// False when the word is not a chord name this reads (it is then a remark).
bool AfxParseChordName(std::string_view word, CChordName& chord);
