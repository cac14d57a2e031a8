// The recovery copy of the one document: when to write it, the writer thread, removal,
// and offering the copies of earlier runs back at start-up.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "desktop/AtomicFile.h"
#include "framework/Recovery.h"
#include "framework/UserInterface.h"
#include "framework/FrameworkResource.h"
#include "framework/StringTable.h"

namespace fs = std::filesystem;

namespace {

// The header of a copy sits in its first few lines.
constexpr std::size_t kHeaderBytes = 8192;

std::string ReadBytes(const std::string& path, std::size_t nMax)
{
    std::ifstream in(path, std::ios::binary);
    std::string data;
    if (!in)
        return data;
    if (nMax == std::string::npos) {
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else {
        data.resize(nMax);
        in.read(data.data(), static_cast<std::streamsize>(nMax));
        data.resize(static_cast<std::size_t>(in.gcount()));
    }
    return data;
}

const std::string& BootId()
{
    static const std::string id = [] {
        std::string s = ReadBytes("/proc/sys/kernel/random/boot_id", 64);
        while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
            s.pop_back();
        return s;
    }();
    return id;
}

// The run that wrote a copy is still going: same boot and its process is there. Wrong
// guesses keep a copy for later rather than losing it.
bool WriterAlive(const CRecoveryInfo& info)
{
    if (info.bootId != BootId())
        return false;
    if (info.nPid == static_cast<long>(::getpid()))
        return true;
    return ::kill(static_cast<pid_t>(info.nPid), 0) == 0 || errno == EPERM;
}

} // namespace

CRecoveryCopy::CRecoveryCopy(std::string folder, std::string instance, CRecoveryTimer* pTimer)
    : m_strFolder(std::move(folder)), m_strInstance(std::move(instance)), m_pTimer(pTimer)
{
}

CRecoveryCopy::~CRecoveryCopy()
{
    Attach(nullptr);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
    }
    m_cond.notify_all();
    if (m_writer.joinable())
        m_writer.join();
}

void CRecoveryCopy::Attach(CDocument* pDoc)
{
    if (m_pDoc != nullptr)
        m_pDoc->SetObserver(nullptr);
    m_pDoc = pDoc;
    if (m_pDoc == nullptr)
        return;
    m_pDoc->SetObserver(this);
    if (m_pDoc->IsModified())
        OnDocumentModified(true);
}

void CRecoveryCopy::OnDocumentModified(bool bModified)
{
    // On the path of every keystroke: nothing here but flags and, once per pause, a timer.
    if (!bModified) {
        if (m_bPending || !m_strCopyPath.empty() || !m_strRecovered.empty())
            Discard();
        return;
    }
    m_bStale = true;
    if (m_bPending) {
        m_bChangedSinceStart = true;
        return;
    }
    m_bPending = true;
    m_bChangedSinceStart = false;
    m_nPeriods = 0;
    if (m_pTimer != nullptr)
        m_pTimer->Start(kQuietMilliseconds);
}

void CRecoveryCopy::OnTimer()
{
    if (!m_bPending)
        return;
    if (m_bChangedSinceStart && ++m_nPeriods < kMaxQuietPeriods) {
        m_bChangedSinceStart = false;
        if (m_pTimer != nullptr)
            m_pTimer->Start(kQuietMilliseconds);
        return;
    }
    m_bPending = false;
    WriteCurrent(false);
}

bool CRecoveryCopy::WriteCurrent(bool bWait)
{
    if (m_pDoc == nullptr || !m_pDoc->IsModified())
        return true;
    CRecoveryInfo info;
    info.docPath = m_pDoc->GetPathName();
    info.nPid = static_cast<long>(::getpid());
    info.bootId = BootId();
    CJob job;
    job.bWrite = true;
    job.path = (fs::path(m_strFolder) / AfxRecoveryFileName(info.docPath, m_strInstance)).string();
    if (m_snapshot) {
        job.makeText = m_snapshot(*m_pDoc);
        job.data = AfxFormatRecoveryCopy(info, {});
    } else {
        std::string text;
        if (!AfxDocumentText(*m_pDoc, text))
            return false;
        job.data = AfxFormatRecoveryCopy(info, text);
    }
    // The copy under an old name, and a copy taken over at start-up, go once this one is
    // safely written.
    if (!m_strCopyPath.empty() && m_strCopyPath != job.path)
        job.removals.push_back(m_strCopyPath);
    if (!m_strRecovered.empty() && m_strRecovered != job.path)
        job.removals.push_back(m_strRecovered);
    m_strRecovered.clear();
    m_strCopyPath = job.path;
    m_bStale = false;
    Queue(std::move(job));
    if (!bWait)
        return true;
    WaitIdle();
    return !LastWriteFailed();
}

bool CRecoveryCopy::FlushNow()
{
    if (m_pTimer != nullptr)
        m_pTimer->Stop();
    m_bPending = false;
    if (m_pDoc != nullptr && m_pDoc->IsModified() && (m_bStale || LastWriteFailed() || m_strCopyPath.empty()))
        return WriteCurrent(true);
    WaitIdle();
    return !LastWriteFailed();
}

void CRecoveryCopy::Discard()
{
    if (m_pTimer != nullptr)
        m_pTimer->Stop();
    m_bPending = false;
    m_bStale = false;
    CJob job;
    if (!m_strCopyPath.empty())
        job.removals.push_back(m_strCopyPath);
    if (!m_strRecovered.empty())
        job.removals.push_back(m_strRecovered);
    m_strCopyPath.clear();
    m_strRecovered.clear();
    if (!job.removals.empty())
        Queue(std::move(job));
}

void CRecoveryCopy::Queue(CJob job)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // A write not yet begun is superseded; its removals still stand, and so do those
        // a failed write held back.
        std::vector<std::string> older = std::move(m_carried);
        m_carried.clear();
        if (m_bHasJob)
            older.insert(older.end(), m_job.removals.begin(), m_job.removals.end());
        for (std::string& r : older) {
            if (r != job.path && std::find(job.removals.begin(), job.removals.end(), r) == job.removals.end())
                job.removals.push_back(std::move(r));
        }
        m_job = std::move(job);
        m_bHasJob = true;
        if (!m_writer.joinable())
            m_writer = std::thread([this] { WriterLoop(); });
    }
    m_cond.notify_all();
}

void CRecoveryCopy::WriterLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_cond.wait(lock, [this] { return m_bHasJob || m_bQuit; });
        if (!m_bHasJob)
            return;
        CJob job = std::move(m_job);
        m_job = CJob();
        m_bHasJob = false;
        m_bBusy = true;
        lock.unlock();

        bool bOk = true;
        if (job.bWrite) {
            // Copies of someone's work are theirs alone.
            std::error_code ec;
            fs::create_directories(m_strFolder, ec);
            ::chmod(m_strFolder.c_str(), 0700);
            if (job.makeText) {
                std::string text;
                bOk = job.makeText(text);
                job.data += text;
            }
            bOk = bOk && AfxWriteFileAtomically(job.path, job.data);
        }
        std::vector<std::string> kept;
        for (const std::string& r : job.removals) {
            // Nothing older goes while the newest copy is not on disk.
            if (bOk)
                ::unlink(r.c_str());
            else
                kept.push_back(r);
        }

        lock.lock();
        if (job.bWrite)
            m_bFailed = !bOk;
        // Retried with the next write.
        for (std::string& r : kept)
            m_carried.push_back(std::move(r));
        m_bBusy = false;
        m_cond.notify_all();
    }
}

void CRecoveryCopy::WaitIdle()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cond.wait(lock, [this] { return !m_bHasJob && !m_bBusy; });
}

std::string CRecoveryCopy::GetCopyPath() const { return m_strCopyPath; }

bool CRecoveryCopy::LastWriteFailed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bFailed;
}

std::vector<std::string> CRecoveryCopy::FindOrphans() const
{
    std::vector<std::pair<fs::file_time_type, std::string>> found;
    std::error_code ec;
    for (fs::directory_iterator it(m_strFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string path = it->path().string();
        if (it->path().extension() != ".tab" || !it->is_regular_file(ec) || path == m_strCopyPath)
            continue;
        CRecoveryInfo info;
        std::string text;
        // Unreadable ones are listed too: offering them sets them aside.
        if (AfxParseRecoveryCopy(ReadBytes(path, kHeaderBytes), info, text) && WriterAlive(info))
            continue;
        found.emplace_back(it->last_write_time(ec), path);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    std::vector<std::string> paths;
    for (auto& f : found)
        paths.push_back(std::move(f.second));
    return paths;
}

std::string CRecoveryCopy::SetAside(const std::string& path) const
{
    for (int n = 0; n < 100; ++n) {
        std::string aside = path + ".unreadable";
        if (n > 0)
            aside += "." + std::to_string(n);
        std::error_code ec;
        if (fs::exists(aside, ec))
            continue;
        if (::rename(path.c_str(), aside.c_str()) == 0)
            return aside;
        break;
    }
    return path;   // left where it is, and still never deleted
}

bool CRecoveryCopy::OfferOrphans(CDocument& doc, const Loader& load)
{
    for (const std::string& path : FindOrphans()) {
        CRecoveryInfo info;
        std::string text;
        if (!AfxParseRecoveryCopy(ReadBytes(path, std::string::npos), info, text)) {
            AfxMessageBox(AfxFormatString1(IDS_RECOVER_UNREADABLE, SetAside(path)), MB_ICONEXCLAMATION);
            continue;
        }
        const std::string name = info.docPath.empty() ? AfxLoadString(AFX_IDS_UNTITLED) : info.docPath;
        if (AfxMessageBox(AfxFormatString1(IDS_RECOVER_QUESTION, name), MB_YESNO | MB_ICONQUESTION) != IDYES) {
            ::unlink(path.c_str());
            continue;
        }
        if (!load(doc, info.docPath, text)) {
            AfxMessageBox(AfxFormatString1(IDS_RECOVER_UNREADABLE, SetAside(path)), MB_ICONEXCLAMATION);
            continue;
        }
        doc.SetModifiedFlag(true);
        // Removed once this run's own copy of the work is on disk.
        m_strRecovered = path;
        return true;
    }
    return false;
}
