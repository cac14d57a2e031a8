#include "app/ExportCommand.h"

#include <cstdio>

#include "framework/CommandLine.h"
#include "interop/SongExport.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

int AfxRunExportCommand(const CCommandLine& line)
{
    const std::string title = AfxLoadString(AFX_IDS_APP_TITLE);
    const CLongOption* pOption = line.Find("export");
    if (pOption == nullptr || pOption->bMissingValue || pOption->values.size() != 2) {
        std::fprintf(stderr, "%s\n", AfxLoadString(IDS_EXPORT_USAGE).c_str());
        return 1;
    }
    std::vector<std::string> messages;
    const int nStatus = AfxExportSong(pOption->values[0], pOption->values[1], messages);
    for (const std::string& message : messages)
        std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
    return nStatus;
}
