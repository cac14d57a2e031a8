// The built program as a user runs it from a shell.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include "resources/Version.h"

TEST(AppCommandLine, VersionIsPrintedWithoutStartingTheEditor)
{
    const char* exe = std::getenv("FRETLY_EXE");
    ASSERT_NE(exe, nullptr);
    const std::string command = std::string("'") + exe + "' --version";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    std::array<char, 256> buf{};
    while (std::fgets(buf.data(), static_cast<int>(buf.size()), pipe) != nullptr)
        out += buf.data();
    const int status = ::pclose(pipe);
    EXPECT_EQ(out, "fretly " FRETLY_VERSION "\n");
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
