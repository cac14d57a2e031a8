#include "framework/qt/TextCodec.h"

#include <QStringDecoder>

namespace {

// Length of the sequence led by byte b (0: not a lead byte), and the range the second
// byte must lie in to rule out overlong forms, surrogates and code points past U+10FFFF.
struct LeadInfo {
    int nLength;
    unsigned char lo;
    unsigned char hi;
};

LeadInfo Lead(unsigned char b)
{
    if (b < 0x80)
        return {1, 0, 0};
    if (b >= 0xC2 && b <= 0xDF)
        return {2, 0x80, 0xBF};
    if (b == 0xE0)
        return {3, 0xA0, 0xBF};
    if ((b >= 0xE1 && b <= 0xEC) || b == 0xEE || b == 0xEF)
        return {3, 0x80, 0xBF};
    if (b == 0xED)
        return {3, 0x80, 0x9F};
    if (b == 0xF0)
        return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3)
        return {4, 0x80, 0xBF};
    if (b == 0xF4)
        return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const LeadInfo lead = Lead(static_cast<unsigned char>(bytes[i]));
        if (lead.nLength == 0 || i + lead.nLength > bytes.size())
            return false;
        if (lead.nLength > 1) {
            const auto second = static_cast<unsigned char>(bytes[i + 1]);
            if (second < lead.lo || second > lead.hi)
                return false;
            for (int k = 2; k < lead.nLength; ++k) {
                const auto cont = static_cast<unsigned char>(bytes[i + k]);
                if (cont < 0x80 || cont > 0xBF)
                    return false;
            }
        }
        i += lead.nLength;
    }
    return true;
}

CTextEncoding DetectTextEncoding(std::string_view bytes)
{
    return IsValidUtf8(bytes) ? CTextEncoding::Utf8 : CTextEncoding::Latin1;
}

QString BytesToQString(std::string_view bytes)
{
    const auto n = static_cast<qsizetype>(bytes.size());
    if (DetectTextEncoding(bytes) == CTextEncoding::Utf8) {
        // A leading byte-order mark is text like any other: it must survive the round trip.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(QByteArrayView(bytes.data(), n));
    }
    return QString::fromLatin1(bytes.data(), n);
}

std::string QStringToBytes(const QString& text, CTextEncoding encoding)
{
    if (encoding == CTextEncoding::Latin1) {
        bool bFits = true;
        for (QChar ch : text) {
            if (ch.unicode() > 0xFF) {
                bFits = false;
                break;
            }
        }
        if (bFits) {
            const QByteArray latin = text.toLatin1();
            return std::string(latin.constData(), static_cast<std::size_t>(latin.size()));
        }
    }
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}
