// Document text as XML: escaping, encodings, and what XML cannot hold.
#include <gtest/gtest.h>

#include <random>

#include "interop/ChordName.h"
#include "interop/XmlText.h"

namespace {

std::string Xml(std::string_view bytes)
{
    std::string out;
    AfxAppendXmlText(out, bytes);
    return out;
}

// Characters XML 1.0 cannot hold in text, and markup characters left bare.
bool IsSafeXmlText(const std::string& text)
{
    if (!AfxIsValidUtf8(text))
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if ((ch < 0x20 && ch != '\t' && ch != '\n') || ch == '<' || ch == '>' || ch == '"' || ch == '\'')
            return false;
        if (ch == '&' && text.find(';', i) == std::string::npos)
            return false;
        if (text.compare(i, 3, "\xEF\xBF\xBE") == 0 || text.compare(i, 3, "\xEF\xBF\xBF") == 0)
            return false;
    }
    return true;
}

} // namespace

TEST(XmlText, MarkupLineEndsControlBytesAndEncodings)
{
    struct Case {
        std::string in, out;
    } cases[] = {
        {"A & B <Band> \"q\" 'a'", "A &amp; B &lt;Band&gt; &quot;q&quot; &apos;a&apos;"},
        {"one\r\ntwo\rthree\nfour\tfive", "one\ntwo\nthree\nfour\tfive"},
        {std::string("a\0b\x01\x1F", 5), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"Caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x8E\xB8", "Caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x8E\xB8"},   // UTF-8 kept
        {"Caf\xE9", "Caf\xC3\xA9"},                     // Latin-1
        {"it\x92s \x80", "it\xE2\x80\x99s \xE2\x82\xAC"}, // Windows-1252's printable extras
        {"\x81", "\xEF\xBF\xBD"},                       // no character there
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},               // an overlong form is not UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"}, // nor is a surrogate
        {"\xEF\xBF\xBE", "\xEF\xBF\xBD"},               // U+FFFE: valid UTF-8, not XML
        {"\xF4\x90\x80\x80", "\xC3\xB4\xEF\xBF\xBD\xE2\x82\xAC\xE2\x82\xAC"},   // past U+10FFFF
        {"ends mid-sequence \xE6\x97", "ends mid-sequence \xC3\xA6\xE2\x80\x94"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Xml(c.in), c.out) << c.in;
        EXPECT_TRUE(IsSafeXmlText(Xml(c.in))) << c.in;
    }
}

TEST(XmlText, NoByteStringBreaksTheMarkup)
{
    std::mt19937 random(18);
    for (int n = 0; n < 2000; ++n) {
        std::string bytes(static_cast<std::size_t>(random() % 40), '\0');
        for (char& ch : bytes)
            ch = static_cast<char>(random() % 4 == 0 ? "&<>\"'\r\n\xC3\xEF"[random() % 10] : random() % 256);
        const std::string xml = Xml(bytes);
        ASSERT_TRUE(IsSafeXmlText(xml)) << "from " << testing::PrintToString(bytes);
    }
}

TEST(ChordName, ChordsAreTakenApartAndRemarksAreNot)
{
    struct Case {
        const char* word;
        char root;
        int alter;
        const char* kind;
        char bass;   // 0: none
    } chords[] = {
        {"A", 'A', 0, "major", 0},         {"Am", 'A', 0, "minor", 0},
        {"F#m7", 'F', 1, "minor-seventh", 0}, {"Bbmaj7", 'B', -1, "major-seventh", 0},
        {"C/G", 'C', 0, "major", 'G'},     {"D/F#", 'D', 0, "major", 'F'},
        {"Esus4", 'E', 0, "suspended-fourth", 0}, {"E5", 'E', 0, "power", 0},
        {"Bdim7", 'B', 0, "diminished-seventh", 0}, {"Gm7b5", 'G', 0, "half-diminished", 0},
    };
    for (const Case& c : chords) {
        CChordName chord;
        ASSERT_TRUE(AfxParseChordName(c.word, chord)) << c.word;
        EXPECT_EQ(chord.m_chRootStep, c.root) << c.word;
        EXPECT_EQ(chord.m_nRootAlter, c.alter) << c.word;
        EXPECT_EQ(chord.m_strKind, c.kind) << c.word;
        EXPECT_EQ(chord.m_bHasBass, c.bass != 0) << c.word;
        if (c.bass != 0) {
            EXPECT_EQ(chord.m_chBassStep, c.bass) << c.word;
        }
    }
    for (const char* word : {"Bridge", "Chorus", "N.C.", "x2", "am", "Ahh", "C/", "C/H", "Dm/F#x", "Gadd9"}) {
        CChordName chord;
        EXPECT_FALSE(AfxParseChordName(word, chord)) << word;
    }
}
