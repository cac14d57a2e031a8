#include "desktop/AtomicFile.h"

#include <filesystem>

#include "desktop/SafeFileSupport.h"
#include "desktop/SafeFileWriter.h"

bool AfxWriteFileAtomically(const std::string& path, const std::string& data)
{
    // The folder of the file a link names is the one that must exist.
    std::string target;
    if (SafeResolveLinks(path, target) != 0)
        return false;
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec)
            return false;
    }
    return AfxSaveFileSafely(path, data, 0644) == 0;
}
