// Whole-file writes of settings and desktop files: what is there is never harmed.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "desktop/AtomicFile.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

TEST(AtomicFile, FileSizeLimitFailsTheWriteInsteadOfKillingTheProgram)
{
    CScratchDir scratch("fretly-atomic");
    const fs::path path = scratch.path / "fretly.INI";
    WriteFileBytes(path, "[Settings]\n");
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const CFileSizeLimit limit(4096);   // the signal's default kills the process
        ::_exit(AfxWriteFileAtomically(path.string(), std::string(100000, 'x')) ? 2 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_FALSE(WIFSIGNALED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFileBytes(path), "[Settings]\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path), fs::directory_iterator()), 1);
}

TEST(AtomicFile, PipesAndReadOnlyFilesAreLeftAlone)
{
    CScratchDir scratch("fretly-atomic");
    const fs::path pipe = scratch.path / "pipe.INI";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_FALSE(AfxWriteFileAtomically(pipe.string(), "data"));
    EXPECT_TRUE(fs::is_fifo(pipe));

    const fs::path locked = scratch.path / "locked.INI";
    WriteFileBytes(locked, "mine");
    fs::permissions(locked, fs::perms(0444));
    EXPECT_FALSE(AfxWriteFileAtomically(locked.string(), "data"));   // root included
    EXPECT_EQ(ReadFileBytes(locked), "mine");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path), fs::directory_iterator()), 2);
}
