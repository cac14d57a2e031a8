// Printing tabs of 1,000 and 10,000 staffs to a PDF file through the whole print loop
// (the view's hooks, the Qt printer, the temporary file renamed into place), as
// "fretly /pt song.tab song.pdf" does. The pages counter reads as pages per second.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "document/FretlyDoc.h"
#include "framework/CommandLineInfo.h"
#include "framework/WinApp.h"
#include "framework/qt/QtPrinting.h"
#include "framework/qt/ScrollViewHost.h"
#include "resources/Resource.h"
#include "view/FretlyView.h"

namespace fs = std::filesystem;

namespace {

QApplication& App()
{
    static int argc = 1;
    static char arg0[] = "bench_printpdf";
    static char* argv[] = {arg0, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(argc, argv);
    return app;
}

void BM_PrintToPdf(benchmark::State& state)
{
    App();
    const int nStaffs = static_cast<int>(state.range(0));
    CFretlyDoc doc;
    CFretlyView view;
    CScrollViewHost host(&view);
    doc.AddView(&view);
    doc.OnNewDocument();
    doc.m_strArtist = "Benchmark Band";
    doc.m_strSongTitle = "Long Song";
    doc.m_ppStaffs.reserve(static_cast<std::size_t>(nStaffs));
    while (doc.m_nStaffs < nStaffs)
        doc.InsertStaff(doc.m_nStaffs - 1);
    for (int s = 0; s < nStaffs; ++s)
        for (int c = 2; c < 76; c += 4)
            doc.m_ppStaffs[s]->m_rows[(s + c) % STRING_ROWS][c] = static_cast<char>('0' + (s + c) % 10);
    view.OnInitialUpdate();

    const fs::path pdf = fs::temp_directory_path() / ("fretly-bench-" + std::to_string(::getpid()) + ".pdf");
    CQtPrintingSystem printing([] { return nullptr; });
    CWinApp app;
    CCommandLineInfo cmd;
    cmd.m_nShellCommand = CCommandLineInfo::FilePrintTo;
    cmd.m_strPrinterName = pdf.string();
    app.m_pCmdInfo = &cmd;

    for (auto _ : state) {
        view.OnCmdMsg(ID_FILE_PRINT_DIRECT);
        if (!app.m_bPrintJobDone) {
            state.SkipWithError("the PDF was not written");
            break;
        }
    }
    const int nRest = nStaffs - view.m_nStaffsFirstPage;
    const int nPages = 1 + (nRest + view.m_nStaffsPerPage - 1) / view.m_nStaffsPerPage;
    state.counters["pages"] = benchmark::Counter(nPages, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["pdf_MB"] = static_cast<double>(fs::file_size(pdf)) / 1e6;
    app.m_pCmdInfo = nullptr;
    fs::remove(pdf);
}

} // namespace

BENCHMARK(BM_PrintToPdf)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

BENCHMARK_MAIN();
