#include "framework/ReadAhead.h"

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <pthread.h>
#include <sys/stat.h>

#include "framework/Archive.h"
#include "framework/CommandLineInfo.h"
#include "framework/Document.h"

namespace {

struct CCancelled {};

// The worker's file: every block read first looks whether the read was called off.
class CCancellableFile : public CFile {
public:
    explicit CCancellableFile(const std::atomic<bool>& bCancel) : m_bCancel(bCancel) {}
    std::size_t Read(void* pBuf, std::size_t nCount) override
    {
        if (m_bCancel.load(std::memory_order_relaxed))
            throw CCancelled();
        return CFile::Read(pBuf, nCount);
    }

private:
    const std::atomic<bool>& m_bCancel;
};

} // namespace

struct CReadAhead::CJob {
    std::string path;
    dev_t nDevice = 0;   // the file as it was found when the read started
    ino_t nInode = 0;
    std::unique_ptr<CDocument> pDocument;
    std::atomic<bool> bCancel{false};
    // Written by the worker, read after it is joined.
    bool bRead = false;
    CFileIdentity identity;
    std::thread worker;
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool bDone = false;

    void Run()
    {
        Read();
        std::lock_guard lock(doneMutex);
        bDone = true;
        doneSignal.notify_all();
    }

    void WaitUntilDone()
    {
        std::unique_lock lock(doneMutex);
        doneSignal.wait(lock, [this] { return bDone; });
    }

    // False when the read is still going after nWait.
    bool WaitUntilDone(std::chrono::microseconds nWait)
    {
        std::unique_lock lock(doneMutex);
        return doneSignal.wait_for(lock, nWait, [this] { return bDone; });
    }

    void Read()
    {
        try {
            CCancellableFile file(bCancel);
            file.Open(path, CFile::modeRead);
            CFileIdentity before;
            if (!file.GetIdentity(before) || !before.bRegular || before.nSize == 0)
                return;
            CArchive ar(&file, CArchive::load);
            if (!pDocument->LoadAhead(ar))
                return;
            ar.Close();
            CFileIdentity after;
            // Written to while it was read: what was read may be neither the old nor
            // the new content.
            if (!file.GetIdentity(after) || after != before)
                return;
            file.Close();
            identity = before;
            bRead = true;
        } catch (...) {
            // Whatever failed is met again, and reported, when the file is opened.
        }
    }
};

CReadAhead::CReadAhead() = default;

CReadAhead::~CReadAhead() { Cancel(); }

void CReadAhead::Start(const std::string& path, const DocumentMaker& makeDocument)
{
    if (m_pJob != nullptr && m_pJob->path == path)
        return;
    Cancel();
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0)
        return;
    auto pJob = std::make_unique<CJob>();
    pJob->path = path;
    pJob->nDevice = st.st_dev;
    pJob->nInode = st.st_ino;
    pJob->pDocument = makeDocument();
    if (pJob->pDocument == nullptr)
        return;
    // Signals go to the main thread, whose handlers expect them there.
    sigset_t all, old;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &old);
    try {
        pJob->worker = std::thread([p = pJob.get()] { p->Run(); });
    } catch (...) {
        ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
        return;   // no thread: the file is read when it is opened
    }
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    m_pJob = std::move(pJob);
}

std::unique_ptr<CDocument> CReadAhead::Take(const CFile& file, const std::function<bool()>& help)
{
    if (m_pJob == nullptr)
        return nullptr;
    CFileIdentity identity;
    if (!file.GetIdentity(identity) || identity.nDevice != m_pJob->nDevice || identity.nInode != m_pJob->nInode) {
        // Another file: no use waiting for the read.
        Cancel();
        return nullptr;
    }
    std::unique_ptr<CJob> pJob = std::move(m_pJob);
    // Help that has nothing to do now is asked again a little later.
    while (help && !pJob->WaitUntilDone(help() ? std::chrono::microseconds(0) : std::chrono::microseconds(200))) {
    }
    pJob->WaitUntilDone();
    pJob->worker.join();
    if (!pJob->bRead || !file.GetIdentity(identity) || identity != pJob->identity)
        return nullptr;
    return std::move(pJob->pDocument);
}

void CReadAhead::Cancel()
{
    if (m_pJob == nullptr)
        return;
    m_pJob->bCancel = true;
    m_pJob->worker.join();
    m_pJob.reset();
}

CReadAhead& AfxGetReadAhead()
{
    static CReadAhead readAhead;
    return readAhead;
}

void AfxStartReadAhead(const std::vector<std::string>& args, const CReadAhead::DocumentMaker& makeDocument)
{
    CCommandLineInfo info;
    AfxParseCommandLine(args, info);
    AfxStartReadAheadFor(info, makeDocument);
}

void AfxStartReadAheadFor(const CCommandLineInfo& info, const CReadAhead::DocumentMaker& makeDocument)
{
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileOpen:
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
        AfxGetReadAhead().Start(info.m_strFileName, makeDocument);
        break;
    default:
        AfxGetReadAhead().Cancel();
        break;
    }
}
