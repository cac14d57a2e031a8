// The framework layer knows nothing of the program built on it: no file under framework/
// includes the program's folders, so the framework could carry another program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "framework/StringTable.h"
#include "resources/Resource.h"

namespace fs = std::filesystem;

TEST(Layering, TheFrameworkIncludesNoneOfTheProgramsFolders)
{
    const fs::path root = FRETLY_SOURCE_DIR;
    const std::regex include(R"re(^\s*#\s*include\s*"(app|document|view|resources|interop|audio)/)re");
    int nFiles = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root / "framework")) {
        if (!entry.is_regular_file())
            continue;
        ++nFiles;
        std::ifstream in(entry.path());
        int nLine = 0;
        for (std::string line; std::getline(in, line);) {
            ++nLine;
            EXPECT_FALSE(std::regex_search(line, include))
                << fs::relative(entry.path(), root).string() << ":" << nLine << ": " << line;
        }
    }
    EXPECT_GT(nFiles, 40) << "the framework's sources were not found under " << root;
}

TEST(Layering, TheProgramsTableIsLookedInBeforeTheFrameworks)
{
    // The framework's own texts are there beside the program's ...
    EXPECT_EQ(AfxLoadString(AFX_IDS_UNTITLED), "Untitled");
    EXPECT_EQ(AfxLoadString(AFX_IDP_ASK_TO_SAVE), "Save changes to %1?");
    // ... and the program gives the texts that name it, for the framework's IDs.
    EXPECT_EQ(AfxLoadString(AFX_IDS_APP_TITLE), "Fretly");
    EXPECT_EQ(AfxCommandPrompt(ID_FILE_NEW), "Create a new document");

    // A program's table replaces the one before it; the framework's stays.
    static const CStringEntry kOther[] = {{AFX_IDS_APP_TITLE, "Other"}, {AFX_IDS_UNTITLED, "Nameless"}};
    AfxSetProgramStrings(kOther, std::size(kOther));
    EXPECT_EQ(AfxLoadString(AFX_IDS_APP_TITLE), "Other");
    EXPECT_EQ(AfxLoadString(AFX_IDS_UNTITLED), "Nameless");
    EXPECT_EQ(AfxLoadString(ID_FILE_NEW), "");
    EXPECT_EQ(AfxCountDuplicateStringIds(), 1U) << "a program text hiding the framework's is counted";
    AfxUseProgramResources();
    EXPECT_EQ(AfxLoadString(AFX_IDS_APP_TITLE), "Fretly");
    EXPECT_EQ(AfxCountDuplicateStringIds(), 0U);
}
