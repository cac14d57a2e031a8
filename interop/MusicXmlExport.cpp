#include "interop/MusicXmlExport.h"

#include <string>
#include <vector>

#include "document/FretlyDoc.h"
#include "interop/ChordName.h"
#include "interop/ExportSink.h"
#include "interop/NoteModel.h"
#include "interop/XmlText.h"

namespace {

// Note values in sixty-fourths of a whole note, longest first.
struct CNoteValue {
    int n64;
    const char* pszType;
    bool bDot;
};
constexpr CNoteValue kValues[] = {
    {96, "whole", true}, {64, "whole", false}, {48, "half", true}, {32, "half", false},
    {24, "quarter", true}, {16, "quarter", false}, {12, "eighth", true}, {8, "eighth", false},
    {6, "16th", true}, {4, "16th", false}, {3, "32nd", true}, {2, "32nd", false}, {1, "64th", false},
};

constexpr const char* kStepNames[12] = {"C", "C", "D", "D", "E", "F", "F", "G", "G", "A", "A", "B"};
constexpr int kStepAlters[12] = {0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0};

// One thing that takes time in a measure: a rest, or the notes that start at one step.
struct CItem {
    int nStep;
    int nSteps;
    std::size_t nFirst, nLast;   // notes [nFirst, nLast); empty for a rest
};

class CMusicXmlWriter {
public:
    CMusicXmlWriter(const CFretlyDoc& doc, CExportSink& sink)
        : m_doc(doc), m_sink(sink), m_settings(AfxReadSongSettings(doc.m_strComments)), m_reader(m_settings),
          m_nStep64(16 / m_settings.m_nStepsPerQuarter)
    {
    }

    void Run()
    {
        Header();
        for (int s = 0; s < m_doc.m_nStaffs; ++s) {
            m_reader.ReadStaff(*m_doc.m_ppStaffs[static_cast<std::size_t>(s)], m_music);
            Staff();
            m_sink.Write(m_out);
            m_out.clear();
        }
        if (m_nMeasures == 0) {
            // A score holds at least one measure: an empty song is one bar of rest.
            OpenMeasure(4 * m_settings.m_nStepsPerQuarter, false);
            m_out += "<note><rest measure=\"yes\"/><duration>" + std::to_string(4 * m_settings.m_nStepsPerQuarter) +
                     "</duration><voice>1</voice></note>\n";
        }
        PendingWords();
        m_out += "<barline location=\"right\"><bar-style>light-heavy</bar-style></barline>\n"
                 "</measure>\n</part>\n</score-partwise>\n";
        m_sink.Write(m_out);
    }

private:
    void Element(const char* pszName, std::string_view text)
    {
        m_out += '<';
        m_out += pszName;
        m_out += '>';
        AfxAppendXmlText(m_out, text);
        m_out += "</";
        m_out += pszName;
        m_out += ">\n";
    }

    void Header();
    void Attributes(int nSteps);
    void OpenMeasure(int nSteps, bool bNewSystem);
    void Staff();
    void Text(const CTabText& text, int nOffset);
    void PendingWords();
    void Note(const CTabNote& note, const CNoteValue& value, std::size_t nPiece, std::size_t nPieces, bool bChord);
    void Notations(const CTabNote& note, bool bFirst, bool bLast, bool bTiedBefore, bool bTiedAfter);
    void Pieces(int nSteps, std::vector<const CNoteValue*>& pieces) const;

    const CFretlyDoc& m_doc;
    CExportSink& m_sink;
    CSongSettings m_settings;
    CNoteReader m_reader;
    int m_nStep64;            // sixty-fourths of a whole note in one step
    CStaffMusic m_music;
    std::string m_out;
    int m_nMeasures = 0;
    int m_nTimeSteps = 0;     // the length the last time signature written gives a measure
    std::vector<std::string> m_pendingWords;   // text of staffs that last no time
};

void CMusicXmlWriter::Header()
{
    m_out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
             "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
             "\"http://www.musicxml.org/dtds/partwise.dtd\">\n"
             "<score-partwise version=\"4.0\">\n";
    if (!m_doc.m_strSongTitle.empty()) {
        m_out += "<work>\n";
        Element("work-title", m_doc.m_strSongTitle);
        m_out += "</work>\n";
        Element("movement-title", m_doc.m_strSongTitle);
    }
    m_out += "<identification>\n";
    if (!m_doc.m_strArtist.empty()) {
        m_out += "<creator type=\"composer\">";
        AfxAppendXmlText(m_out, m_doc.m_strArtist);
        m_out += "</creator>\n";
    }
    if (!m_doc.m_strTranscriber.empty()) {
        m_out += "<creator type=\"transcriber\">";
        AfxAppendXmlText(m_out, m_doc.m_strTranscriber);
        m_out += "</creator>\n";
    }
    m_out += "<encoding>\n<software>Fretly</software>\n</encoding>\n";
    if (!m_doc.m_strAlbum.empty())
        Element("source", m_doc.m_strAlbum);
    const std::pair<const char*, const std::string*> fields[] = {
        {"album", &m_doc.m_strAlbum}, {"email", &m_doc.m_strEmail}, {"comments", &m_doc.m_strComments}};
    bool bAny = false;
    for (const auto& [pszName, pValue] : fields)
        bAny = bAny || !pValue->empty();
    if (bAny) {
        m_out += "<miscellaneous>\n";
        for (const auto& [pszName, pValue] : fields) {
            if (pValue->empty())
                continue;
            m_out += "<miscellaneous-field name=\"";
            m_out += pszName;
            m_out += "\">";
            AfxAppendXmlText(m_out, *pValue);
            m_out += "</miscellaneous-field>\n";
        }
        m_out += "</miscellaneous>\n";
    }
    m_out += "</identification>\n"
             "<part-list>\n<score-part id=\"P1\">\n<part-name>Guitar</part-name>\n"
             "<score-instrument id=\"P1-I1\"><instrument-name>Steel-string Guitar</instrument-name></score-instrument>\n"
             "<midi-instrument id=\"P1-I1\"><midi-channel>1</midi-channel><midi-program>26</midi-program></midi-instrument>\n"
             "</score-part>\n</part-list>\n<part id=\"P1\">\n";
}

void CMusicXmlWriter::Attributes(int nSteps)
{
    // The simplest signature of the measure's length: 16 sixteenths are 4/4.
    int n64 = nSteps * m_nStep64;
    int nBeatType = 4;
    for (int nUnit = 16; nUnit > 1 && n64 % nUnit != 0; nUnit /= 2)
        nBeatType *= 2;
    const std::string time = "<time><beats>" + std::to_string(n64 * nBeatType / 64) + "</beats><beat-type>" +
                             std::to_string(nBeatType) + "</beat-type></time>\n";
    if (m_nMeasures > 1) {
        if (nSteps != m_nTimeSteps)
            m_out += "<attributes>\n" + time + "</attributes>\n";
        m_nTimeSteps = nSteps;
        return;
    }
    m_nTimeSteps = nSteps;
    m_out += "<attributes>\n<divisions>" + std::to_string(m_settings.m_nStepsPerQuarter) + "</divisions>\n" +
             "<key><fifths>0</fifths></key>\n" + time + "<clef><sign>TAB</sign><line>5</line></clef>\n" +
             "<staff-details>\n<staff-lines>" + std::to_string(m_settings.m_nStrings) + "</staff-lines>\n";
    // Line 1 is the bottom line, the lowest string.
    for (int nLine = 1; nLine <= m_settings.m_nStrings; ++nLine) {
        const int nKey = m_settings.m_tuning[static_cast<std::size_t>(m_settings.m_nStrings - nLine)];
        m_out += "<staff-tuning line=\"" + std::to_string(nLine) + "\"><tuning-step>" + kStepNames[nKey % 12] +
                 "</tuning-step>";
        if (kStepAlters[nKey % 12] != 0)
            m_out += "<tuning-alter>1</tuning-alter>";
        m_out += "<tuning-octave>" + std::to_string(nKey / 12 - 1) + "</tuning-octave></staff-tuning>\n";
    }
    if (m_settings.m_nCapo > 0)
        m_out += "<capo>" + std::to_string(m_settings.m_nCapo) + "</capo>\n";
    m_out += "</staff-details>\n</attributes>\n";
    const std::string tempo = std::to_string(m_settings.m_nTempo);
    m_out += "<direction placement=\"above\"><direction-type><metronome><beat-unit>quarter</beat-unit><per-minute>" +
             tempo + "</per-minute></metronome></direction-type><sound tempo=\"" + tempo + "\"/></direction>\n";
}

void CMusicXmlWriter::OpenMeasure(int nSteps, bool bNewSystem)
{
    if (m_nMeasures > 0)
        m_out += "</measure>\n";
    ++m_nMeasures;
    m_out += "<measure number=\"" + std::to_string(m_nMeasures) + "\">\n";
    if (bNewSystem && m_nMeasures > 1)
        m_out += "<print new-system=\"yes\"/>\n";
    Attributes(nSteps);
    PendingWords();
}

void CMusicXmlWriter::PendingWords()
{
    for (const std::string& word : m_pendingWords)
        Text({0, 0, word}, 0);
    m_pendingWords.clear();
}

void CMusicXmlWriter::Text(const CTabText& text, int nOffset)
{
    const std::string offset = nOffset > 0 ? "<offset>" + std::to_string(nOffset) + "</offset>" : std::string();
    CChordName chord;
    if (AfxParseChordName(text.m_strText, chord)) {
        // <root><root-step>A</root-step><root-alter>-1</root-alter></root>, and so for bass.
        auto note = [this](const std::string& tag, char chStep, int nAlter) {
            m_out += "<" + tag + "><" + tag + "-step>" + chStep + "</" + tag + "-step>";
            if (nAlter != 0)
                m_out += "<" + tag + "-alter>" + std::to_string(nAlter) + "</" + tag + "-alter>";
            m_out += "</" + tag + ">";
        };
        m_out += "<harmony>";
        note("root", chord.m_chRootStep, chord.m_nRootAlter);
        m_out += "<kind text=\"";
        AfxAppendXmlText(m_out, chord.m_strKindText);
        m_out += "\">" + chord.m_strKind + "</kind>";
        if (chord.m_bHasBass)
            note("bass", chord.m_chBassStep, chord.m_nBassAlter);
        m_out += offset + "</harmony>\n";
    } else {
        m_out += "<direction placement=\"above\"><direction-type><words>";
        AfxAppendXmlText(m_out, text.m_strText);
        m_out += "</words></direction-type>" + offset + "</direction>\n";
    }
}

void CMusicXmlWriter::Pieces(int nSteps, std::vector<const CNoteValue*>& pieces) const
{
    pieces.clear();
    int nLeft = nSteps * m_nStep64;
    for (const CNoteValue& value : kValues) {
        while (value.n64 <= nLeft && value.n64 % m_nStep64 == 0) {
            pieces.push_back(&value);
            nLeft -= value.n64;
        }
    }
}

void CMusicXmlWriter::Staff()
{
    if (m_music.m_measures.empty()) {
        for (const CTabText& text : m_music.m_texts)
            m_pendingWords.push_back(text.m_strText);
        return;
    }
    std::vector<const CNoteValue*> pieces;
    std::vector<CItem> items;
    std::size_t nNote = 0, nText = 0;
    const std::vector<CTabNote>& notes = m_music.m_notes;
    for (std::size_t m = 0; m < m_music.m_measures.size(); ++m) {
        const CTabMeasure& measure = m_music.m_measures[m];
        const int nEnd = measure.m_nFirstStep + measure.m_nSteps;
        OpenMeasure(measure.m_nSteps, m == 0);

        items.clear();
        int nAt = measure.m_nFirstStep;
        while (nNote < notes.size() && notes[nNote].m_nStep < nEnd) {
            if (notes[nNote].m_nStep > nAt)
                items.push_back({nAt, notes[nNote].m_nStep - nAt, 0, 0});
            std::size_t nLast = nNote;
            while (nLast < notes.size() && notes[nLast].m_nStep == notes[nNote].m_nStep)
                ++nLast;
            items.push_back({notes[nNote].m_nStep, notes[nNote].m_nSteps, nNote, nLast});
            nAt = notes[nNote].m_nStep + notes[nNote].m_nSteps;
            nNote = nLast;
        }
        if (nAt < nEnd)
            items.push_back({nAt, nEnd - nAt, 0, 0});

        for (const CItem& item : items) {
            while (nText < m_music.m_texts.size() && m_music.m_texts[nText].m_nStep < item.nStep + item.nSteps) {
                Text(m_music.m_texts[nText], m_music.m_texts[nText].m_nStep - item.nStep);
                ++nText;
            }
            Pieces(item.nSteps, pieces);
            for (std::size_t p = 0; p < pieces.size(); ++p) {
                const CNoteValue& value = *pieces[p];
                if (item.nFirst == item.nLast) {
                    m_out += "<note><rest/><duration>" + std::to_string(value.n64 / m_nStep64) +
                             "</duration><voice>1</voice><type>" + value.pszType + "</type>" +
                             (value.bDot ? "<dot/>" : "") + "</note>\n";
                    continue;
                }
                for (std::size_t k = item.nFirst; k < item.nLast; ++k)
                    Note(notes[k], value, p, pieces.size(), k != item.nFirst);
            }
        }
    }
}

void CMusicXmlWriter::Note(const CTabNote& note, const CNoteValue& value, std::size_t nPiece, std::size_t nPieces,
                           bool bChord)
{
    m_out += "<note>";
    if (bChord)
        m_out += "<chord/>";
    m_out += "<pitch><step>";
    m_out += kStepNames[note.m_nPitch % 12];
    m_out += "</step>";
    if (kStepAlters[note.m_nPitch % 12] != 0)
        m_out += "<alter>1</alter>";
    m_out += "<octave>" + std::to_string(note.m_nPitch / 12 - 1) + "</octave></pitch>";
    m_out += "<duration>" + std::to_string(value.n64 / m_nStep64) + "</duration>";
    const bool bTiedBefore = nPiece > 0;
    const bool bTiedAfter = nPiece + 1 < nPieces;
    if (bTiedBefore)
        m_out += "<tie type=\"stop\"/>";
    if (bTiedAfter)
        m_out += "<tie type=\"start\"/>";
    m_out += "<voice>1</voice><type>";
    m_out += value.pszType;
    m_out += "</type>";
    if (value.bDot)
        m_out += "<dot/>";
    if (note.m_fTech & kTechDead)
        m_out += "<notehead>x</notehead>";
    else if (note.m_fTech & kTechGhost)
        m_out += "<notehead parentheses=\"yes\">normal</notehead>";
    Notations(note, !bTiedBefore, !bTiedAfter, bTiedBefore, bTiedAfter);
    m_out += "</note>\n";
}

void CMusicXmlWriter::Notations(const CTabNote& note, bool bFirst, bool bLast, bool bTiedBefore, bool bTiedAfter)
{
    const std::uint32_t f = note.m_fTech;
    const std::string number = "number=\"" + std::to_string(note.m_nRow + 1) + "\"";
    m_out += "<notations>";
    if (bTiedBefore)
        m_out += "<tied type=\"stop\"/>";
    if (bTiedAfter)
        m_out += "<tied type=\"start\"/>";
    // What joins a note to the one before begins on its first piece; what joins it to
    // the next ends on its last.
    if (bFirst && (f & (kTechHammerStop | kTechPullStop)))
        m_out += "<slur type=\"stop\" " + number + "/>";
    if (bLast && (f & (kTechHammerStart | kTechPullStart)))
        m_out += "<slur type=\"start\" " + number + " placement=\"above\"/>";
    if (bFirst && (f & kTechSlideStop))
        m_out += "<slide type=\"stop\" " + number + "/>";
    if (bLast && (f & kTechSlideStart))
        m_out += "<slide type=\"start\" " + number + " line-type=\"solid\"/>";
    const bool bTrill = bFirst && (f & kTechTrill);
    const bool bWavyStart = bFirst && (f & kTechVibrato);
    const bool bWavyStop = bLast && (f & kTechVibrato);
    if (bTrill || bWavyStart || bWavyStop) {
        m_out += "<ornaments>";
        if (bTrill)
            m_out += "<trill-mark/>";
        if (bWavyStart)
            m_out += "<wavy-line type=\"start\" " + number + "/>";
        if (bWavyStop)
            m_out += "<wavy-line type=\"stop\" " + number + "/>";
        m_out += "</ornaments>";
    }
    m_out += "<technical>";
    if (bFirst && (f & kTechHammerStop))
        m_out += "<hammer-on " + number + " type=\"stop\"/>";
    if (bFirst && (f & kTechPullStop))
        m_out += "<pull-off " + number + " type=\"stop\"/>";
    if (bLast && (f & kTechHammerStart))
        m_out += "<hammer-on " + number + " type=\"start\">H</hammer-on>";
    if (bLast && (f & kTechPullStart))
        m_out += "<pull-off " + number + " type=\"start\">P</pull-off>";
    if (bFirst && (f & kTechBend)) {
        m_out += "<bend><bend-alter>" + std::to_string(note.m_nBend) + "</bend-alter></bend>";
        if (f & kTechRelease)
            m_out += "<bend><bend-alter>" + std::to_string(note.m_nRelease - note.m_nBend) +
                     "</bend-alter><release/></bend>";
    }
    if (bFirst && (f & kTechTap))
        m_out += "<tap>T</tap>";
    if (bFirst && (f & kTechHarmonic))
        m_out += "<harmonic><natural/></harmonic>";
    m_out += "<string>" + std::to_string(note.m_nRow + 1) + "</string><fret>" +
             std::to_string(note.m_nFret < 0 ? 0 : note.m_nFret) + "</fret></technical>";
    const char* pszArticulation = nullptr;
    if (bFirst && (f & kTechSlideInBelow))
        pszArticulation = "<scoop/>";
    else if (bFirst && (f & kTechSlideInAbove))
        pszArticulation = "<plop/>";
    else if (bLast && (f & kTechSlideOutUp))
        pszArticulation = "<doit/>";
    else if (bLast && (f & kTechSlideOutDown))
        pszArticulation = "<falloff/>";
    if (pszArticulation != nullptr) {
        m_out += "<articulations>";
        m_out += pszArticulation;
        m_out += "</articulations>";
    }
    m_out += "</notations>";
}

} // namespace

void AfxExportMusicXml(const CFretlyDoc& doc, CExportSink& sink) { CMusicXmlWriter(doc, sink).Run(); }
