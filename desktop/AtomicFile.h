#pragma once
// Small settings and desktop files, written whole through CSafeFileWriter, so a crash, a
// full disk or a file-size limit never leaves half a file.
#include <string>

// Writes data to path, creating missing folders. A symbolic link is written where it
// points, so the link survives; an existing file keeps its permissions, owner and group
// (new: 0644 less the umask); a read-only or non-regular file is left alone (false).
bool AfxWriteFileAtomically(const std::string& path, const std::string& data);
