// Whole-process benchmark helper for big files.
//   fretly_open --make N PATH   writes a Fretly file of N full staffs to PATH
//   fretly_open [--rss] PATH    opens PATH as File Open does; with --rss it prints the
//                               staff count, the peak resident size and what is still
//                               resident after the document is replaced by a new one
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/resource.h>

#include "bench/BenchDocument.h"
#include "document/FretlyDoc.h"

namespace {

long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long nPages = 0, nResident = 0;
    statm >> nPages >> nResident;
    return nResident * 4;
}

long PeakKiB()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--make") == 0) {
        CFretlyDoc doc;
        AfxFillBenchDocument(doc, std::atoi(argv[2]));
        return doc.OnSaveDocument(argv[3]) ? 0 : 1;
    }
    const bool bRss = argc == 3 && std::strcmp(argv[1], "--rss") == 0;
    if (argc != 2 && !bRss) {
        std::fprintf(stderr, "usage: fretly_open [--rss] FILE | --make STAFFS FILE\n");
        return 2;
    }
    const long nBaseKiB = ResidentKiB();
    CFretlyDoc doc;
    doc.OnNewDocument();
    if (!doc.OnOpenDocument(argv[argc - 1])) {
        std::fprintf(stderr, "fretly_open: could not open %s\n", argv[argc - 1]);
        return 1;
    }
    if (bRss) {
        const long nPeakKiB = PeakKiB();
        const int nStaffs = doc.m_nStaffs;
        doc.OnNewDocument();
        std::printf("staffs %d peak_kib %ld base_kib %ld after_new_kib %ld\n", nStaffs, nPeakKiB, nBaseKiB,
                    ResidentKiB());
    }
    return 0;
}
