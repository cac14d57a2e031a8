// Recovery copies: the folder, the names, the format of a copy, and the document's text.
#include "framework/Recovery.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <unistd.h>

#include "framework/Archive.h"
#include "framework/Document.h"
#include "framework/MemFile.h"

namespace {

constexpr std::string_view kMagic = "#Fretly recovery copy of unsaved work, format 1";
constexpr std::string_view kPathTag = "#Document: ";
constexpr std::string_view kWriterTag = "#Writer: ";
// The document's file name keeps at most this much of itself in the copy's name.
constexpr std::size_t kMaxLeaf = 80;

std::uint64_t Fnv1a64(std::string_view bytes)
{
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

// Takes the next line (without its LF) off the front of rest; false when there is none.
bool TakeLine(std::string_view& rest, std::string_view& line)
{
    const std::size_t nl = rest.find('\n');
    if (nl == std::string_view::npos)
        return false;
    line = rest.substr(0, nl);
    rest.remove_prefix(nl + 1);
    return true;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::string AfxRecoveryFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    // A relative value is to be ignored, as the XDG rules say.
    if (state != nullptr && state[0] == '/')
        return (std::filesystem::path(state) / "fretly").string();
    const char* home = std::getenv("HOME");
    const std::string base = home != nullptr && home[0] != '\0' ? home : "/tmp";
    return (std::filesystem::path(base) / ".local" / "state" / "fretly").string();
}

std::string AfxRecoveryInstance()
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%ld-%llx", static_cast<long>(::getpid()),
                  static_cast<unsigned long long>(std::time(nullptr)));
    return buf;
}

std::string AfxRecoveryFileName(const std::string& docPath, const std::string& instance)
{
    if (docPath.empty())
        return "Untitled." + instance + ".tab";
    std::string leaf = std::filesystem::path(docPath).filename().string();
    // Only plain characters: the name must never hide, escape or break the folder.
    for (char& c : leaf) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_' || c == '.';
        if (!plain)
            c = '_';
    }
    if (leaf.size() > kMaxLeaf)
        leaf.resize(kMaxLeaf);
    if (leaf.empty() || leaf[0] == '.')
        leaf.insert(0, "_");
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a64(docPath)));
    return leaf + "." + hash + "." + instance + ".tab";
}

std::string AfxEscapeRecoveryPath(std::string_view path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (unsigned char c : path) {
        if (c <= 0x20 || c >= 0x7F || c == '%') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string AfxUnescapeRecoveryPath(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string AfxFormatRecoveryCopy(const CRecoveryInfo& info, std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 256);
    out += kMagic;
    out += '\n';
    out += kPathTag;
    out += AfxEscapeRecoveryPath(info.docPath);
    out += '\n';
    out += kWriterTag;
    out += std::to_string(info.nPid);
    out += ' ';
    out += AfxEscapeRecoveryPath(info.bootId);
    out += '\n';
    out += text;
    return out;
}

bool AfxParseRecoveryCopy(std::string_view bytes, CRecoveryInfo& info, std::string& text)
{
    std::string_view rest = bytes;
    std::string_view magic, path, writer;
    if (!TakeLine(rest, magic) || magic != kMagic || !TakeLine(rest, path) || !path.starts_with(kPathTag) ||
        !TakeLine(rest, writer) || !writer.starts_with(kWriterTag))
        return false;
    path.remove_prefix(kPathTag.size());
    writer.remove_prefix(kWriterTag.size());
    const std::size_t blank = writer.find(' ');
    const std::string pid(writer.substr(0, blank));
    char* end = nullptr;
    const long nPid = std::strtol(pid.c_str(), &end, 10);
    if (pid.empty() || *end != '\0' || nPid <= 0)
        return false;
    info.docPath = AfxUnescapeRecoveryPath(path);
    info.nPid = nPid;
    info.bootId = blank == std::string_view::npos ? std::string() : AfxUnescapeRecoveryPath(writer.substr(blank + 1));
    text.assign(rest);
    return true;
}

bool AfxDocumentText(CDocument& doc, std::string& text)
{
    try {
        CMemFile file;
        CArchive ar(&file, CArchive::store);
        doc.Serialize(ar);
        ar.Close();
        text = file.Detach();
        return true;
    } catch (...) {
        return false;
    }
}

bool AfxLoadDocumentText(CDocument& doc, const std::string& text)
{
    try {
        doc.DeleteContents();
        CMemFile file(text, false);
        CArchive ar(&file, CArchive::load);
        doc.Serialize(ar);
        ar.Close();
        return true;
    } catch (...) {
        doc.DeleteContents();
        return false;
    }
}

bool AfxLoadRecoveredText(CDocument& doc, const std::string& docPath, const std::string& text)
{
    if (docPath.empty() && !doc.OnNewDocument())
        return false;
    if (!AfxLoadDocumentText(doc, text))
        return false;
    if (!docPath.empty())
        doc.SetPathName(docPath);
    return true;
}
