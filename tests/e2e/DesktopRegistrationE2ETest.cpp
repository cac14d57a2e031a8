// The built program registers its document type when it starts, before it looks at the
// command line; "/p" without a file (the desktop's Print action from a launcher) then
// ends it without printing, with status 1 as nothing was printed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

TEST(DesktopRegistrationE2E, StartingTheProgramWritesItsDesktopEntry)
{
    const char* exe = std::getenv("FRETLY_EXE");
    const char* data = std::getenv("XDG_DATA_HOME");
    ASSERT_NE(exe, nullptr);
    ASSERT_NE(data, nullptr) << "the test must not register into the real home";
    const std::filesystem::path entry = std::filesystem::path(data) / "applications/fretly.desktop";
    std::filesystem::remove(entry);

    const int status = std::system((std::string("'") + exe + "' /p >/dev/null 2>&1").c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);

    std::ifstream in(entry);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string exePath = std::filesystem::canonical(exe).string();
    EXPECT_NE(text.str().find("\nExec=" + exePath + " %f\n"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("\nExec=" + exePath + " /p %f\n"), std::string::npos);
}
