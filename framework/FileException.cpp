#include "framework/FileException.h"

#include <cerrno>

#include "desktop/SafeFileWriter.h"

CFileException::Cause CFileException::OsErrorToCause(int osError)
{
    switch (osError) {
    case 0:
        return none;
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return badPath;
    case EMFILE:
    case ENFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return accessDenied;
    case EBADF:
        return invalidFile;
    case EBUSY:
    case ETXTBSY:
        return sharingViolation;
    case ENOLCK:
        return lockViolation;
    case ESPIPE:
        return badSeek;
    case EIO:
        return hardIO;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return diskFull;
    case EMLINK:
        return directoryFull;
    case ELOOP:
        return linkLoop;
    case kSafeSaveNotRegularFile:
        return notRegularFile;
    default:
        return genericException;
    }
}

void CFileException::ThrowOsError(int osError, const std::string& fileName)
{
    throw CFileException(OsErrorToCause(osError), osError, fileName);
}
