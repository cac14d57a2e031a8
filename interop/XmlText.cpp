#include "interop/XmlText.h"

#include <cstdint>

namespace {

// Windows-1252 for 0x80-0x9F; 0 where it has no character.
constexpr std::uint16_t kCp1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};
constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t ch)
{
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (ch >> 18));
        out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

// Decodes the character at bytes[i] (valid UTF-8 assumed when bUtf8), advancing i.
char32_t Next(std::string_view bytes, std::size_t& i, bool bUtf8)
{
    const auto b = static_cast<unsigned char>(bytes[i++]);
    if (!bUtf8) {
        if (b >= 0x80 && b < 0xA0)
            return kCp1252[b - 0x80] != 0 ? kCp1252[b - 0x80] : kReplacement;
        return b;
    }
    if (b < 0x80)
        return b;
    const int nMore = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
    char32_t ch = b & (0x3F >> nMore);
    for (int k = 0; k < nMore; ++k)
        ch = (ch << 6) | (static_cast<unsigned char>(bytes[i++]) & 0x3F);
    return ch;
}

// A byte sequence's decoded length check for one character at i; 0 when malformed.
std::size_t Utf8Length(std::string_view bytes, std::size_t i)
{
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80)
        return 1;
    std::size_t n;
    char32_t ch, nMin;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2; ch = b & 0x1F; nMin = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3; ch = b & 0x0F; nMin = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4; ch = b & 0x07; nMin = 0x10000;
    } else {
        return 0;
    }
    if (i + n > bytes.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto c = static_cast<unsigned char>(bytes[i + k]);
        if ((c & 0xC0) != 0x80)
            return 0;
        ch = (ch << 6) | (c & 0x3F);
    }
    if (ch < nMin || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

bool AfxIsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = Utf8Length(bytes, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

void AfxAppendXmlText(std::string& out, std::string_view bytes)
{
    const bool bUtf8 = AfxIsValidUtf8(bytes);
    for (std::size_t i = 0; i < bytes.size();) {
        const char32_t ch = Next(bytes, i, bUtf8);
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        case '\r':
            if (i < bytes.size() && bytes[i] == '\n')
                ++i;
            out += '\n';
            break;
        case '\t': case '\n':
            out += static_cast<char>(ch);
            break;
        default:
            AppendUtf8(out, ch < 0x20 || ch == 0xFFFE || ch == 0xFFFF ? kReplacement : ch);
            break;
        }
    }
}
