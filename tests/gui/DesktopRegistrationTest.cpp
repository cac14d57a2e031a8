// Start-up tells the desktop about .tab files, with the icons compiled into the program.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include <cstdlib>
#include <sstream>

#include "gui/AppFixture.h"
#include "support/TestFiles.h"

using namespace apptest;

namespace {

} // namespace

TEST(DesktopRegistration, StartUpRegistersTheDocumentTypeWithItsIcons)
{
    AppFixture f;
    const std::filesystem::path data = f.dir / "xdg-data";
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    // No cache tools: they would still be writing when the fixture removes its folder.
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    ::setenv("PATH", (f.dir / "no-tools").c_str(), 1);
    const bool bStarted = f.Start();
    ::setenv("PATH", path.c_str(), 1);
    ASSERT_TRUE(bStarted);

    const std::string entry = ReadFileBytes(data / "applications/fretly.desktop");
    EXPECT_NE(entry.find("\nMimeType=application/x-fretly-document;\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nActions=print;\n"), std::string::npos);
    EXPECT_NE(ReadFileBytes(data / "mime/packages/fretly.xml").find("<icon name=\"application-x-fretly-document\"/>"),
              std::string::npos);
    EXPECT_NE(ReadFileBytes(f.dir / "mimeapps.list").find("application/x-fretly-document=fretly.desktop;"),
              std::string::npos);

    // Each icon is the resource's image at its own size.
    const std::pair<const char*, const char*> icons[] = {{"apps/fretly.png", "fretly"},
                                                         {"mimetypes/application-x-fretly-document.png", "document"}};
    for (int size : {16, 32}) {
        for (const auto& [file, resource] : icons) {
            const std::string dim = std::to_string(size);
            const std::string png = ReadFileBytes(data / "icons/hicolor" / (dim + "x" + dim) / file);
            QFile res(QStringLiteral(":/fretly/%1-%2.png").arg(QLatin1String(resource)).arg(size));
            ASSERT_TRUE(res.open(QIODevice::ReadOnly));
            EXPECT_EQ(QByteArray::fromStdString(png), res.readAll()) << file << " " << size;
            EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(png)).size(), QSize(size, size));
        }
    }
}
