#include "interop/SongExport.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sys/stat.h>

#include "document/FretlyDoc.h"
#include "framework/FileException.h"
#include "framework/UserInterface.h"
#include "interop/ExportSink.h"
#include "interop/MidiExport.h"
#include "interop/MusicXmlExport.h"
#include "interop/NoteModel.h"
#include "interop/PlainTextExport.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {

// Stands in for the windows while a song is read: what a message box would say is kept,
// dialogs are cancelled unseen.
class CQuietUserInterface : public CUserInterface {
public:
    CQuietUserInterface() : m_pPrevious(AfxGetUserInterface()) { AfxSetUserInterface(this); }
    ~CQuietUserInterface() override { AfxSetUserInterface(m_pPrevious); }
    CQuietUserInterface(const CQuietUserInterface&) = delete;
    CQuietUserInterface& operator=(const CQuietUserInterface&) = delete;

    int MessageBox(const std::string& text, const std::string&, UINT nType) override
    {
        if (!m_strMessages.empty())
            m_strMessages += '\n';
        m_strMessages += text;
        return AfxDefaultButton(nType);
    }
    int RunModal(CDialog&) override { return IDCANCEL; }
    void Beep() override {}

    std::string m_strMessages;

private:
    CUserInterface* m_pPrevious;
};

bool EndsWithNoCase(const std::string& text, const char* pszSuffix)
{
    const std::size_t n = std::strlen(pszSuffix);
    if (text.size() <= n)
        return false;
    return std::equal(text.end() - static_cast<std::ptrdiff_t>(n), text.end(), pszSuffix,
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string WriteErrorText(const std::string& path, int nError)
{
    if (nError == kSafeSaveNotRegularFile)
        return AfxFormatString1(IDS_EXPORT_NOT_REGULAR, path);
    const auto error =
        std::make_exception_ptr(CFileException(CFileException::OsErrorToCause(nError), nError, path));
    return AfxFormatString1(IDS_EXPORT_NOT_EXPORTED, AfxSaveLoadErrorText(path, error, AFX_IDP_FAILED_TO_SAVE_DOC));
}

} // namespace

EExportFormat AfxExportFormatOf(const std::string& path)
{
    if (EndsWithNoCase(path, ".musicxml") || EndsWithNoCase(path, ".xml"))
        return EExportFormat::musicXml;
    if (EndsWithNoCase(path, ".mid") || EndsWithNoCase(path, ".midi"))
        return EExportFormat::midi;
    if (EndsWithNoCase(path, ".txt"))
        return EExportFormat::plainText;
    return EExportFormat::unknown;
}

bool AfxLoadSong(const std::string& path, CFretlyDoc& doc, std::string& message)
{
    CQuietUserInterface ui;
    doc.m_bSkipHeaderDialog = true;
    const bool bOpened = doc.OnOpenDocument(path);
    if (bOpened && !doc.IsLoadRejected())
        return true;
    message = bOpened ? path + ": " + ui.m_strMessages : ui.m_strMessages;
    if (message.empty())
        message = AfxLoadString(AFX_IDP_FAILED_TO_OPEN_DOC);
    return false;
}

int AfxExportSong(const std::string& song, const std::string& out, std::vector<std::string>& messages)
{
    const EExportFormat format = AfxExportFormatOf(out);
    if (format == EExportFormat::unknown) {
        messages.push_back(AfxFormatString1(IDS_EXPORT_UNKNOWN_FORMAT, out));
        return 1;
    }
    // Writing over the song would lose it: the export replaces the whole file.
    if (IsSameFile(song, out)) {
        messages.push_back(AfxFormatString1(IDS_EXPORT_SAME_FILE, out));
        return 1;
    }

    CFretlyDoc doc;
    std::string message;
    if (!AfxLoadSong(song, doc, message)) {
        messages.push_back(AfxFormatString1(IDS_EXPORT_NOT_EXPORTED, message));
        return 1;
    }
    for (const std::string& line : AfxReadSongSettings(doc.m_strComments).m_unreadLines)
        messages.push_back(AfxFormatString1(IDS_EXPORT_SETTING_UNREAD, line));

    CSafeFileSink sink(out);
    int nError = sink.Begin();
    if (nError == 0) {
        if (format == EExportFormat::musicXml) {
            AfxExportMusicXml(doc, sink);
        } else if (format == EExportFormat::midi) {
            AfxExportMidi(doc, sink);
        } else {
            std::string text;
            ExportPlainText(doc, text);
            sink.Write(text);
        }
        nError = sink.Commit();
    }
    if (nError != 0) {
        messages.push_back(WriteErrorText(out, nError));
        return 1;
    }
    return 0;
}
