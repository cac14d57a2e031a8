// What the desktop registration costs a start when everything is registered already
// (the usual start), against the first start that writes every file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "desktop/ShellRegistration.h"

namespace fs = std::filesystem;

namespace {

CShellFileType Type()
{
    CShellFileType t;
    t.appId = "fretly";
    t.exePath = "/opt/fretly/bin/fretly";
    t.appName = "Fretly";
    t.genericName = "Tablature Editor";
    t.comment = "Edit guitar tablature in plain ASCII form";
    t.printActionName = "Print";
    t.filterExt = ".TAB";
    t.regFileTypeId = "Fretly.Document";
    t.regFileTypeName = "Fretly Document";
    const std::string png(1200, 'p');
    t.appIcons = {{16, png}, {32, png}};
    t.docIcons = {{16, png}, {32, png}};
    return t;
}

fs::path SetUpDirs()
{
    const fs::path root = fs::temp_directory_path() / ("fretly-bench-xdg-" + std::to_string(::getpid()));
    fs::remove_all(root);
    ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    return root;
}

bool RegisterOnce()
{
    CShellRegistration reg(Type());
    reg.m_pfnRunTool = nullptr;   // the detached cache tools are not part of the start's cost
    return reg.Register();
}

void BM_RegisterWhenAlreadyRegistered(benchmark::State& state)
{
    const fs::path root = SetUpDirs();
    RegisterOnce();
    for (auto _ : state)
        benchmark::DoNotOptimize(RegisterOnce());
    fs::remove_all(root);
}
BENCHMARK(BM_RegisterWhenAlreadyRegistered)->Unit(benchmark::kMicrosecond);

void BM_RegisterFirstTime(benchmark::State& state)
{
    const fs::path root = SetUpDirs();
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(root);
        state.ResumeTiming();
        benchmark::DoNotOptimize(RegisterOnce());
    }
    fs::remove_all(root);
}
BENCHMARK(BM_RegisterFirstTime)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
