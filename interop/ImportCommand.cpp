#include "interop/ImportCommand.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

#include "desktop/SafeFileWriter.h"
#include "document/FretlyDoc.h"
#include "framework/Recovery.h"
#include "interop/PlainTextImport.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {

std::unique_ptr<CFretlyDoc>& ImportedStart()
{
    static std::unique_ptr<CFretlyDoc> pDoc;
    return pDoc;
}

// The whole file, or false with errno set. "-" is standard input.
bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    const int fd = path == "-" ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bytes.clear();
    std::size_t nUsed = 0;
    for (;;) {
        if (bytes.size() - nUsed < 65536)
            bytes.resize(std::max<std::size_t>(bytes.size() * 2, 1 << 20));
        const ssize_t n = ::read(fd, bytes.data() + nUsed, bytes.size() - nUsed);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int nError = n < 0 ? errno : 0;
            if (fd != STDIN_FILENO)
                ::close(fd);
            bytes.resize(nUsed);
            errno = nError;
            return n == 0;
        }
        nUsed += static_cast<std::size_t>(n);
    }
}

void Report(std::FILE* err, const std::string& message)
{
    std::fprintf(err, "%s: %s\n", AfxLoadString(AFX_IDS_APP_TITLE).c_str(), message.c_str());
}

} // namespace

int AfxRunImportCommand(const std::vector<std::string>& values, std::FILE* err)
{
    if (values.empty() || values.size() > 2) {
        Report(err, AfxLoadString(IDS_IMPORT_USAGE));
        return 1;
    }
    const std::string& source = values[0];
    std::string bytes;
    if (!ReadWholeFile(source, bytes)) {
        Report(err, AfxFormatString2(IDS_IMPORT_CANNOT_READ, source, std::strerror(errno)));
        return 1;
    }

    auto pDoc = std::make_unique<CFretlyDoc>();
    // As a new document starts: the disclaimer box ticked.
    pDoc->m_bFairUse = true;
    CPlainTextImport report;
    const bool bFound = ImportPlainText(bytes, *pDoc, report);
    // The text is no longer needed; a big file's memory goes back before writing.
    std::string().swap(bytes);
    if (!bFound) {
        Report(err, AfxFormatString1(IDS_IMPORT_NO_TABLATURE, source));
        return 1;
    }
    for (const CPlainTextImport::CWideSystem& wide : report.wideSystems) {
        Report(err, AfxFormatString2(IDS_IMPORT_WIDE_SYSTEM,
                                     std::to_string(wide.nFirstLine) + "-" + std::to_string(wide.nLastLine),
                                     std::to_string(wide.nStrings)));
    }

    if (values.size() == 1) {
        ImportedStart() = std::move(pDoc);
        return kImportStartEditor;
    }
    const std::string& target = values[1];
    std::string text;
    if (const int nError = AfxDocumentText(*pDoc, text) ? AfxSaveFileSafely(target, text) : ENOMEM; nError != 0) {
        const std::string reason = nError == kSafeSaveNotRegularFile ? AfxLoadString(IDS_IMPORT_NOT_REGULAR)
                                                                      : std::string(std::strerror(nError));
        Report(err, AfxFormatString2(IDS_IMPORT_CANNOT_WRITE, target, reason));
        return 1;
    }
    return 0;
}

bool AfxTakeImportedStart(CFretlyDoc* pDoc)
{
    std::unique_ptr<CFretlyDoc> pImported = std::move(ImportedStart());
    if (pDoc == nullptr || pImported == nullptr)
        return false;
    pDoc->SwapContents(*pImported);
    pDoc->m_bStaffCountChanged = true;
    pDoc->SetModifiedFlag(true);
    pDoc->UpdateAllViews(nullptr, 0, nullptr);
    return true;
}
