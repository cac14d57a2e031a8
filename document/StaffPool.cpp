// Staffs come from slabs of 2 MB rather than one heap block each: a document of 100,000
// staffs then costs a few dozen allocations and, where the kernel gives huge pages on
// request, a few dozen page faults instead of fourteen thousand. A slab whose staffs are
// all gone is handed back to the system at once, so replacing a big document returns its
// memory. Under AddressSanitizer staffs stay single heap blocks, so that the sanitizer
// still sees every use after free.
#include "document/Staff.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <new>
#include <thread>
#include <sys/mman.h>

#if defined(__SANITIZE_ADDRESS__)
#define FRETLY_STAFF_SLABS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FRETLY_STAFF_SLABS 0
#endif
#endif
#ifndef FRETLY_STAFF_SLABS
#define FRETLY_STAFF_SLABS 1
#endif

#if FRETLY_STAFF_SLABS
namespace {

constexpr std::size_t kSlabSize = 2 * 1024 * 1024;   // one huge page on x86-64

struct CFreeCell {
    CFreeCell* pNext;
};

// The head of each slab, at its start (slabs are aligned to their size, so a staff
// finds its slab by masking its address).
struct CSlab {
    CSlab* pPrev;
    CSlab* pNext;
    CFreeCell* pFree;   // cells given back
    std::size_t nUnused;   // cells never handed out, from the end of the used part
    std::size_t nLive;
};

constexpr std::size_t kCellSize = (sizeof(CStaff) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                                  alignof(std::max_align_t);
constexpr std::size_t kFirstCell = (sizeof(CSlab) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                                   alignof(std::max_align_t);
constexpr std::size_t kCells = (kSlabSize - kFirstCell) / kCellSize;

// A spin lock rather than a mutex: the lock is held for a few instructions per staff
// (only a new slab's mapping takes longer), it is hardly ever contended (the recovery
// writer giving back a snapshot's staffs), and a document of 100,000 staffs takes it
// 200,000 times between its reading and its end.
class CSpinLock {
public:
    void lock()
    {
        while (m_flag.test_and_set(std::memory_order_acquire))
            std::this_thread::yield();
    }
    void unlock() { m_flag.clear(std::memory_order_release); }

private:
    std::atomic_flag m_flag;
};

CSpinLock g_lock;
CSlab* g_pSlabs = nullptr;
CSlab* g_pCurrent = nullptr;
// Slabs mapped and faulted in ahead of use (PrepareSlab), not yet in g_pSlabs; linked
// through pNext.
CSlab* g_pPrepared = nullptr;
std::size_t g_nPrepared = 0;

char* CellAt(CSlab* pSlab, std::size_t nIndex)
{
    return reinterpret_cast<char*>(pSlab) + kFirstCell + nIndex * kCellSize;
}

// An empty slab of its own, not linked anywhere; nullptr when the system has no memory.
CSlab* MapSlab()
{
    // Mapped directly, so that a freed slab goes back to the system whatever the heap's
    // own thresholds; twice the size is mapped and trimmed to an aligned slab.
    void* pMap = ::mmap(nullptr, 2 * kSlabSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pMap == MAP_FAILED)
        return nullptr;
    const auto nMap = reinterpret_cast<std::uintptr_t>(pMap);
    const std::uintptr_t nSlab = (nMap + kSlabSize - 1) & ~(kSlabSize - 1);
    if (nSlab > nMap)
        ::munmap(pMap, nSlab - nMap);
    ::munmap(reinterpret_cast<void*>(nSlab + kSlabSize), nMap + kSlabSize - nSlab);
    void* p = reinterpret_cast<void*>(nSlab);
    ::madvise(p, kSlabSize, MADV_HUGEPAGE);
    auto* pSlab = static_cast<CSlab*>(p);
    *pSlab = CSlab{nullptr, nullptr, nullptr, kCells, 0};
    return pSlab;
}

// A slab for the allocations, linked into g_pSlabs: a prepared one if there is one.
CSlab* NewSlab()
{
    CSlab* pSlab = g_pPrepared;
    if (pSlab != nullptr) {
        g_pPrepared = pSlab->pNext;
        --g_nPrepared;
    } else {
        // Under the lock: rare (once per 2 MB of staffs), and the lock is a spin lock
        // that waits by yielding.
        pSlab = MapSlab();
        if (pSlab == nullptr)
            throw std::bad_alloc();
    }
    *pSlab = CSlab{nullptr, g_pSlabs, nullptr, kCells, 0};
    if (g_pSlabs != nullptr)
        g_pSlabs->pPrev = pSlab;
    g_pSlabs = pSlab;
    return pSlab;
}

CSlab* SlabOf(void* pStaff) { return reinterpret_cast<CSlab*>(reinterpret_cast<std::uintptr_t>(pStaff) & ~(kSlabSize - 1)); }

// A slab whose last staff is gone goes back to the system. Under the lock.
void UnlinkAndUnmap(CSlab* pSlab)
{
    if (pSlab->pPrev != nullptr)
        pSlab->pPrev->pNext = pSlab->pNext;
    else
        g_pSlabs = pSlab->pNext;
    if (pSlab->pNext != nullptr)
        pSlab->pNext->pPrev = pSlab->pPrev;
    if (g_pCurrent == pSlab)
        g_pCurrent = nullptr;
    ::munmap(pSlab, kSlabSize);
}

bool HasRoom(const CSlab* pSlab) { return pSlab->pFree != nullptr || pSlab->nUnused > 0; }

} // namespace

void* CStaff::operator new(std::size_t nSize)
{
    if (nSize != sizeof(CStaff))
        return ::operator new(nSize);
    std::lock_guard lock(g_lock);
    if (g_pCurrent == nullptr || !HasRoom(g_pCurrent)) {
        g_pCurrent = nullptr;
        for (CSlab* pSlab = g_pSlabs; pSlab != nullptr; pSlab = pSlab->pNext) {
            if (HasRoom(pSlab)) {
                g_pCurrent = pSlab;
                break;
            }
        }
        if (g_pCurrent == nullptr)
            g_pCurrent = NewSlab();
    }
    CSlab* pSlab = g_pCurrent;
    ++pSlab->nLive;
    if (pSlab->pFree != nullptr) {
        CFreeCell* pCell = pSlab->pFree;
        pSlab->pFree = pCell->pNext;
        return pCell;
    }
    return CellAt(pSlab, kCells - pSlab->nUnused--);
}

void CStaff::operator delete(void* p, std::size_t nSize)
{
    if (p == nullptr)
        return;
    if (nSize != sizeof(CStaff)) {
        ::operator delete(p);
        return;
    }
    std::lock_guard lock(g_lock);
    CSlab* pSlab = SlabOf(p);
    auto* pCell = static_cast<CFreeCell*>(p);
    pCell->pNext = pSlab->pFree;
    pSlab->pFree = pCell;
    if (--pSlab->nLive == 0)
        UnlinkAndUnmap(pSlab);
}

void CStaff::DeleteAll(std::vector<std::unique_ptr<CStaff>>& staffs)
{
    std::lock_guard lock(g_lock);
    // First only the slabs' counts, which live in a few cache lines: a slab left empty is
    // unmapped whole, and its staffs' memory is never touched again.
    for (const std::unique_ptr<CStaff>& pStaff : staffs)
        if (pStaff != nullptr)
            --SlabOf(pStaff.get())->nLive;
    for (std::unique_ptr<CStaff>& pStaff : staffs) {
        CStaff* p = pStaff.release();
        if (p == nullptr)
            continue;
        CSlab* pSlab = SlabOf(p);
        if (pSlab->nLive > 0) {
            auto* pCell = reinterpret_cast<CFreeCell*>(p);
            pCell->pNext = pSlab->pFree;
            pSlab->pFree = pCell;
        }
    }
    staffs.clear();
    for (CSlab* pSlab = g_pSlabs; pSlab != nullptr;) {
        CSlab* pNext = pSlab->pNext;
        if (pSlab->nLive == 0)
            UnlinkAndUnmap(pSlab);
        pSlab = pNext;
    }
}

bool CStaff::PrepareSlab(std::size_t nReady)
{
    {
        std::lock_guard lock(g_lock);
        if (g_nPrepared >= nReady)
            return false;
    }
    // Mapped and faulted in without the lock: clearing 2 MB is the slow part, and the
    // allocations go on meanwhile.
    CSlab* pSlab = MapSlab();
    if (pSlab == nullptr)
        return false;
    ::madvise(pSlab, kSlabSize, MADV_POPULATE_WRITE);   // where unknown (before Linux 5.14) the reader faults
    std::lock_guard lock(g_lock);
    pSlab->pNext = g_pPrepared;
    g_pPrepared = pSlab;
    ++g_nPrepared;
    return true;
}

void CStaff::ReleasePreparedSlabs()
{
    CSlab* pSlab = nullptr;
    {
        std::lock_guard lock(g_lock);
        pSlab = g_pPrepared;
        g_pPrepared = nullptr;
        g_nPrepared = 0;
    }
    while (pSlab != nullptr) {
        CSlab* pNext = pSlab->pNext;
        ::munmap(pSlab, kSlabSize);
        pSlab = pNext;
    }
}
#else
void* CStaff::operator new(std::size_t nSize) { return ::operator new(nSize); }
void CStaff::operator delete(void* p, std::size_t) { ::operator delete(p); }
bool CStaff::PrepareSlab(std::size_t) { return false; }
void CStaff::DeleteAll(std::vector<std::unique_ptr<CStaff>>& staffs) { staffs.clear(); }
void CStaff::ReleasePreparedSlabs() {}
#endif
