#pragma once
// Reading the file named on the command line on a worker thread while the program
// starts, so that reading a big file overlaps the toolkit's start-up instead of
// following it. The document opened from that file then takes over what was read,
// provided it is the same file, unchanged since; anything else is read as usual.
//
// The worker only reads: the document's LoadAhead must touch no window and ask
// nothing; what the reading has to show or ask is done by AdoptAhead, on the thread
// that opens the document.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/File.h"

class CCommandLineInfo;
class CDocument;

class CReadAhead {
public:
    using DocumentMaker = std::function<std::unique_ptr<CDocument>()>;

    CReadAhead();
    CReadAhead(const CReadAhead&) = delete;
    CReadAhead& operator=(const CReadAhead&) = delete;
    ~CReadAhead();

    // Starts reading path into a document made by makeDocument; nothing when path is
    // already being read, or names no regular, non-empty file (a FIFO is never read
    // ahead: its bytes would be gone). A read of another file is cancelled first.
    void Start(const std::string& path, const DocumentMaker& makeDocument);
    // The document read from the file that file has open, waiting for the reading to
    // end; nullptr when none was read, when it failed, or when the file is another one
    // or has changed since. Either way the read is over afterwards. While it waits it
    // calls help for as long as help returns true, then sleeps until the read ends.
    std::unique_ptr<CDocument> Take(const CFile& file, const std::function<bool()>& help = {});
    // Stops a read under way (at its next block) and drops what it read.
    void Cancel();
    bool IsActive() const { return m_pJob != nullptr; }

private:
    struct CJob;
    std::unique_ptr<CJob> m_pJob;
};

// The program's one read-ahead, which CDocument::OnOpenDocument consults.
CReadAhead& AfxGetReadAhead();

// Starts the read ahead of the file that the command line asks to open or print,
// cancelling one of another file or, when it opens nothing, any read under way.
void AfxStartReadAheadFor(const CCommandLineInfo& info, const CReadAhead::DocumentMaker& makeDocument);
// The same for the application's arguments (without the program name and the toolkit's
// options).
void AfxStartReadAhead(const std::vector<std::string>& args, const CReadAhead::DocumentMaker& makeDocument);
