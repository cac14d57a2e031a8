// Command-line printing as a script would use it: "/pt file.tab out.pdf" writes the pages
// to a PDF file, with no window and no dialog, and the program ends.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Runs a shell command; returns its standard output, the exit status in *pStatus.
std::string Shell(const std::string& command, int* pStatus = nullptr)
{
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {};
    std::string out;
    std::array<char, 512> buf{};
    while (std::fgets(buf.data(), static_cast<int>(buf.size()), pipe) != nullptr)
        out += buf.data();
    const int status = ::pclose(pipe);
    if (pStatus != nullptr)
        *pStatus = status;
    return out;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// A .tab file as the editor writes it: banner, header fields, comment, staffs with a
// recognisable text row each.
void WriteTab(const fs::path& path, int nStaffs)
{
    const std::string rule = "#" + std::string(77, '-') + "#";
    std::ofstream out(path, std::ios::binary);
    out << rule << "\r\n#-- File created with Fretly --#\r\n" << rule << "\r\n\r\n";
    out << "Author/Artist: Someone\r\nTitle: Night Blues\r\n\r\nPlay it slow.\r\n\r\n";
    for (int s = 0; s < nStaffs; ++s) {
        // A staff's first row starts with '-', which is how the reader knows it.
        for (int r = 0; r < 6; ++r)
            out << "--" << (s % 10) << std::string(74, '-') << "|\r\n";
        std::string text = "Bar " + std::to_string(s * 4 + 1);
        out << text << std::string(78 - text.size(), ' ') << "\r\n\r\n";
    }
}

class PrintToPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        exe = std::getenv("FRETLY_EXE") != nullptr ? std::getenv("FRETLY_EXE") : "";
        ASSERT_FALSE(exe.empty());
        // scripts/install-deps brings poppler-utils; without them this check cannot run.
        ASSERT_FALSE(Shell("command -v pdfinfo && command -v pdftotext").empty()) << "poppler-utils missing";
        dir = fs::temp_directory_path() / ("fretly-e2e-print-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        // The profile goes to a scratch place, not the user's; the desktop registration
        // finds its data folder unwritable, so no cache tool outlives the folder.
        std::ofstream((dir / "data").string()) << "not a folder";
        env = "QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=" + Quote(dir.string()) +
              " XDG_DATA_HOME=" + Quote((dir / "data").string()) + " ";
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    std::string exe;
    fs::path dir;
    std::string env;
};

TEST_F(PrintToPdf, PagesOfATabFileGoToThePdfNamedAsPrinter)
{
    const fs::path tab = dir / "night.tab";
    const fs::path pdf = dir / "night.pdf";
    WriteTab(tab, 14);   // more staffs than one page holds
    int status = -1;
    Shell(env + Quote(exe) + " /pt " + Quote(tab.string()) + " " + Quote(pdf.string()) + " '' '' 2>&1", &status);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(fs::exists(pdf));

    const std::string info = Shell("pdfinfo " + Quote(pdf.string()));
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;

    const std::string page1 = Shell("pdftotext -f 1 -l 1 -layout " + Quote(pdf.string()) + " -");
    const std::string page2 = Shell("pdftotext -f 2 -l 2 -layout " + Quote(pdf.string()) + " -");
    EXPECT_NE(page1.find("Night Blues - Page 1"), std::string::npos) << page1;
    EXPECT_NE(page2.find("Night Blues - Page 2"), std::string::npos) << page2;
    EXPECT_NE(page1.find("Title: Night Blues"), std::string::npos);
    EXPECT_NE(page1.find("Play it slow."), std::string::npos);
    EXPECT_NE(page1.find("--0" + std::string(74, '-') + "|"), std::string::npos);
    EXPECT_NE(page2.find("--3" + std::string(74, '-') + "|"), std::string::npos);
    EXPECT_NE(page1.find("Bar 1"), std::string::npos);
    // The staffs go on in order on page 2, and the last one is there.
    EXPECT_EQ(page1.find("Bar 53"), std::string::npos);
    EXPECT_NE(page2.find("Bar 53"), std::string::npos);
    EXPECT_EQ(page2.find("Title: Night Blues"), std::string::npos);
}

} // namespace
