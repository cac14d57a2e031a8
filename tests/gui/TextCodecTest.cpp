// Text crossing between the document's bytes and Qt: unedited text must come back
// byte for byte, whichever encoding the file used.
#include <gtest/gtest.h>

#include "framework/qt/TextCodec.h"

TEST(TextCodec, ValidUtf8IsReadAsUtf8AndWrittenBackUnchanged)
{
    const std::string samples[] = {"plain ascii", "Caf\xC3\xA9 \xE2\x82\xAC", "\xF0\x9F\x8E\xB8 riff",
                                   std::string("nul\0inside", 10), "\xEF\xBB\xBF" "bom"};
    for (const std::string& s : samples) {
        EXPECT_EQ(DetectTextEncoding(s), CTextEncoding::Utf8) << s;
        EXPECT_EQ(QStringToBytes(BytesToQString(s), DetectTextEncoding(s)), s) << s;
    }
    EXPECT_EQ(BytesToQString("Caf\xC3\xA9"), QString::fromUtf8("Caf\xC3\xA9"));
}

TEST(TextCodec, InvalidUtf8IsLatin1BothWays)
{
    // Lone high bytes, overlong forms, surrogates, code points past U+10FFFF, truncation.
    const std::string samples[] = {"Caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3",
                                   "\xE2\x82", "\xFF\xFE"};
    for (const std::string& s : samples) {
        EXPECT_FALSE(IsValidUtf8(s)) << s;
        const QString text = BytesToQString(s);
        EXPECT_EQ(text.size(), static_cast<qsizetype>(s.size()));
        EXPECT_EQ(QStringToBytes(text, CTextEncoding::Latin1), s);
    }
    EXPECT_EQ(BytesToQString("Caf\xE9"), QString::fromUtf16(u"Caf\u00E9"));
}

TEST(TextCodec, Latin1FallsBackToUtf8RatherThanLosingCharacters)
{
    const QString typed = QString::fromUtf16(u"na\u00EFve \u20AC");
    EXPECT_EQ(QStringToBytes(typed, CTextEncoding::Latin1), "na\xC3\xAFve \xE2\x82\xAC");
    EXPECT_EQ(QStringToBytes(QString::fromUtf16(u"na\u00EFve"), CTextEncoding::Latin1), "na\xEFve");
}
