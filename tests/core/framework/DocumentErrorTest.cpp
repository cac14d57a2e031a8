#include <gtest/gtest.h>

#include <cerrno>
#include <exception>
#include <new>
#include <string>

#include "framework/Document.h"
#include "framework/FileException.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {

std::string TextFor(std::exception_ptr error, UINT nDefault = AFX_IDP_FAILED_TO_OPEN_DOC)
{
    return AfxSaveLoadErrorText("/music/a.tab", error, nDefault);
}

std::exception_ptr OsError(int err)
{
    return std::make_exception_ptr(CFileException(CFileException::OsErrorToCause(err), err, "/music/a.tab"));
}

} // namespace

TEST(DocumentErrors, FileErrorsNameTheirCauseAndThePath)
{
    EXPECT_EQ(TextFor(OsError(ENOENT)), "/music/a.tab was not found.");
    EXPECT_EQ(TextFor(OsError(EACCES)), "Access to /music/a.tab was denied.");
    EXPECT_EQ(TextFor(OsError(EROFS)), "Access to /music/a.tab was denied.");
    EXPECT_EQ(TextFor(OsError(ENOTDIR)), "/music/a.tab contains an invalid path.");
    EXPECT_EQ(TextFor(OsError(EMFILE)), "/music/a.tab could not be opened because there are too many open files.");
    EXPECT_EQ(TextFor(OsError(ENOSPC)), "Disk full while accessing /music/a.tab.");
    EXPECT_EQ(TextFor(OsError(EDQUOT)), "Disk full while accessing /music/a.tab.");
    EXPECT_EQ(TextFor(OsError(EIO)), "A hardware I/O error was reported while accessing /music/a.tab.");
    EXPECT_EQ(TextFor(OsError(EBUSY)), "A sharing violation occurred while accessing /music/a.tab.");
    EXPECT_EQ(TextFor(OsError(EXDEV)), "An unknown error occurred while accessing /music/a.tab.");
}

TEST(DocumentErrors, ArchiveAndOtherErrorsFallBackToTheGeneralMessages)
{
    auto archive = [](CArchiveException::Cause cause) { return std::make_exception_ptr(CArchiveException(cause)); };
    EXPECT_EQ(TextFor(archive(CArchiveException::endOfFile)), "Unexpected file format.");
    EXPECT_EQ(TextFor(archive(CArchiveException::badSchema)), "Unexpected file format.");
    EXPECT_EQ(TextFor(archive(CArchiveException::genericException)), "Failed to open document.");
    EXPECT_EQ(TextFor(std::make_exception_ptr(std::bad_alloc())), "Failed to open document.");
    EXPECT_EQ(TextFor(std::make_exception_ptr(std::bad_alloc()), AFX_IDP_FAILED_TO_SAVE_DOC),
              "Failed to save document.");
    EXPECT_EQ(TextFor(std::make_exception_ptr(CUserException())), "");   // already reported
}

// Two messages given one ID would show the user the wrong text for one of them.
TEST(DocumentErrors, EveryStringHasAnIdOfItsOwn)
{
    EXPECT_EQ(AfxCountDuplicateStringIds(), 0u);
}
