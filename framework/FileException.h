#pragma once
// Errors of files and archives, as values that the document handling turns into the
// framework's messages. The program itself throws none of its own.
#include <string>

class CFileException {
public:
    enum Cause {
        none = 0,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
        // Fretly's own, with messages of their own
        notRegularFile,   // a FIFO, device or folder where a file was to be written
        linkLoop,         // symbolic links that lead round in a loop
    };

    CFileException(Cause cause, int osError, std::string fileName)
        : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName))
    {
    }

    // Maps an errno value to the cause the user is told about.
    static Cause OsErrorToCause(int osError);
    // Throws a CFileException for errno value osError on fileName.
    [[noreturn]] static void ThrowOsError(int osError, const std::string& fileName);

    Cause m_cause;
    int m_lOsError;
    std::string m_strFileName;
};

class CArchiveException {
public:
    enum Cause {
        none = 0,
        genericException,
        readOnly,
        endOfFile,
        writeOnly,
        badIndex,
        badClass,
        badSchema,
    };
    explicit CArchiveException(Cause cause, std::string fileName = {})
        : m_cause(cause), m_strFileName(std::move(fileName))
    {
    }
    Cause m_cause;
    std::string m_strFileName;
};

// Thrown after the user has already been told about a failure.
class CUserException {};
