#pragma once
// The recovery copy of the one document. While the document has unsaved changes a copy
// of its full text lies in the user's state folder, brought up to date a little after the
// last change (never on every keystroke), written like a save (temporary file, sync,
// rename) by a worker thread, and removed once the work is saved or thrown away. The
// user's own file is never touched. At start-up the copies of instances that ended
// without saving are offered back. The copies' names and format are in Recovery.h.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/Document.h"
#include "framework/Recovery.h"

// The debounce timer, given by the platform: single-shot, on the thread of the document;
// on expiry the platform calls CRecoveryCopy::OnTimer.
class CRecoveryTimer {
public:
    virtual ~CRecoveryTimer() = default;
    virtual void Start(int nMilliseconds) = 0;   // (re)starts it
    virtual void Stop() = 0;
};

class CRecoveryCopy : public CDocumentObserver {
public:
    // The copy follows this long after the last change...
    static constexpr int kQuietMilliseconds = 2000;
    // ...but changes that never pause still get one within this many quiet periods.
    static constexpr int kMaxQuietPeriods = 5;

    // Takes what the text of the document is made from, quickly, on the document's
    // thread; the function returned makes the text on the writer thread. Without one
    // the text is made on the document's thread when the copy is due.
    using TextMaker = std::function<bool(std::string&)>;
    using Snapshot = std::function<TextMaker(CDocument&)>;

    // folder: where copies lie; instance: unique to this run of the program.
    CRecoveryCopy(std::string folder, std::string instance, CRecoveryTimer* pTimer);
    // Waits for the writer; the copy stays (the caller decides with Discard).
    ~CRecoveryCopy() override;
    CRecoveryCopy(const CRecoveryCopy&) = delete;
    CRecoveryCopy& operator=(const CRecoveryCopy&) = delete;

    void SetSnapshot(Snapshot snapshot) { m_snapshot = std::move(snapshot); }

    // Follows this document from now on (nullptr: none). A document that is modified
    // already gets its copy after the usual delay.
    void Attach(CDocument* pDoc);
    void OnDocumentModified(bool bModified) override;
    // The debounce timer expired.
    void OnTimer();
    // Brings the copy up to date at once and waits until it is on disk (the program is
    // about to end). True when the copy is current or none is needed.
    bool FlushNow();
    // Removes this run's copy (the work was saved, or the user chose not to keep it).
    void Discard();
    // Waits until every queued write and removal is done.
    void WaitIdle();

    // This run's copy (empty while there is none).
    std::string GetCopyPath() const;
    const std::string& GetFolder() const { return m_strFolder; }
    // The last write failed (a full disk): the copy before it is still there.
    bool LastWriteFailed() const;

    // Copies of runs that are no longer going, newest first, as paths.
    std::vector<std::string> FindOrphans() const;
    // Offers each orphan in turn. Yes loads its text into doc through load (false:
    // unreadable) and stops: the window holds one document, so later copies wait for
    // the next start. No removes it and goes on. A copy that cannot be read is renamed
    // aside with ".unreadable" and the user told where it is. True when one was
    // recovered: doc then bears the original name (or Untitled) and is modified.
    // load(doc, docPath, text) replaces the document by the text; an empty docPath
    // makes it untitled. AfxLoadRecoveredText is the plain way.
    using Loader = std::function<bool(CDocument&, const std::string&, const std::string&)>;
    bool OfferOrphans(CDocument& doc, const Loader& load);

private:
    struct CJob {
        bool bWrite = false;
        std::string path;
        std::string data;          // the whole copy, or its header when makeText is set
        TextMaker makeText;
        std::vector<std::string> removals;
    };
    void Queue(CJob job);
    void WriterLoop();
    bool WriteCurrent(bool bWait);
    std::string SetAside(const std::string& path) const;

    std::string m_strFolder;
    std::string m_strInstance;
    CRecoveryTimer* m_pTimer;
    Snapshot m_snapshot;
    CDocument* m_pDoc = nullptr;
    bool m_bPending = false;          // a copy is due once the timer expires
    bool m_bChangedSinceStart = false;
    int m_nPeriods = 0;
    bool m_bStale = false;            // the document changed after the last copy
    std::string m_strCopyPath;        // this run's copy, as last queued
    std::string m_strRecovered;       // the orphan taken over, removed once ours is written

    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    bool m_bHasJob = false;
    bool m_bBusy = false;
    bool m_bQuit = false;
    bool m_bFailed = false;
    CJob m_job;
    std::vector<std::string> m_carried;   // removals held back by a failed write
    std::thread m_writer;
};
