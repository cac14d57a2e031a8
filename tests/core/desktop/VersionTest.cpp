// The version is written once, as the project's version in CMakeLists.txt; the code gets
// it from the generated resources/Version.h, and the documents that must name it as text
// (the package's changelog, the manual page, the AppStream release, the README's package
// name) are held to it here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "resources/Version.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

} // namespace

TEST(Version, DocumentsNameTheProjectsVersion)
{
    const fs::path root = FRETLY_SOURCE_DIR;
    const std::string version = FRETLY_VERSION;
    ASSERT_FALSE(version.empty());

    EXPECT_EQ(FirstLine(Read(root / "packaging/changelog")).rfind("fretly (" + version + ") ", 0), 0U)
        << "packaging/changelog must begin with this version's entry";
    EXPECT_NE(FirstLine(Read(root / "docs/fretly.1")).find("\"Fretly " + version + "\""), std::string::npos)
        << "the manual page's title line names another version";
    // The newest release comes first in the AppStream file.
    const std::string metainfo = Read(root / "resources/desktop/org.example.fretly.metainfo.xml");
    const std::size_t release = metainfo.find("<release ");
    ASSERT_NE(release, std::string::npos);
    const std::string newest = metainfo.substr(release, metainfo.find('>', release) - release);
    EXPECT_NE(newest.find(" version=\"" + version + "\""), std::string::npos) << newest;
    EXPECT_NE(Read(root / "README.md").find("fretly_" + version + "_"), std::string::npos)
        << "the README names the package of another version";
}

TEST(Version, NoSourceFileCarriesItsOwnCopy)
{
    const fs::path root = FRETLY_SOURCE_DIR;
    const std::string literal = "\"" + std::string(FRETLY_VERSION) + "\"";
    for (const char* folder : {"app", "framework", "desktop", "document", "view", "resources", "interop", "audio"}) {
        if (!fs::is_directory(root / folder))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext == ".cpp" || ext == ".h") {
                EXPECT_EQ(Read(entry.path()).find(literal), std::string::npos) << entry.path();
            }
        }
    }
}
