#pragma once
// Small settings and desktop files, written whole: a temporary file beside the target,
// synced, then renamed over it, so a crash or a full disk never leaves half a file.
#include <string>

// Writes data to path, creating missing folders. A symbolic link is written where it
// points, so the link survives; an existing file keeps its permissions (new: 0644).
bool AfxWriteFileAtomically(const std::string& path, const std::string& data);
