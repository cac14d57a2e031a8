#include "framework/CommandLineInfo.h"

#include <algorithm>
#include <filesystem>
#include <iterator>

void CCommandLineInfo::ParseParam(const std::string& param, bool bFlag, bool bLast)
{
    if (bFlag) {
        // Switches are compared exactly; unknown ones are ignored.
        if (param == "pt")
            m_nShellCommand = FilePrintTo;
        else if (param == "p")
            m_nShellCommand = FilePrint;
        else if (param == "dde")
            m_nShellCommand = FileDDE;
        else if (param == "Embedding" || param == "Automation") {
            if (param == "Embedding")
                m_bRunEmbedded = true;
            else
                m_bRunAutomated = true;
            m_bShowSplash = false;
        }
    } else {
        // First parameter: the file; after /pt the next three name the printer.
        if (m_nParams == 0)
            m_strFileName = param;
        else if (m_nShellCommand == FilePrintTo && m_nParams == 1)
            m_strPrinterName = param;
        else if (m_nShellCommand == FilePrintTo && m_nParams == 2)
            m_strDriverName = param;
        else if (m_nShellCommand == FilePrintTo && m_nParams == 3)
            m_strPortName = param;
        ++m_nParams;
    }
    ParseLast(bLast);
}

void CCommandLineInfo::ParseLast(bool bLast)
{
    if (bLast && m_nShellCommand == FileNew && !m_strFileName.empty())
        m_nShellCommand = FileOpen;
}

namespace {

constexpr const char* kSwitches[] = {"p", "pt", "dde", "Embedding", "Automation"};

// On Linux an absolute path also begins with '/': such an argument is a switch only when
// the rest is one of the known switches and no file of that name exists ("/p", "/dde");
// anything else ("/missing.tab") is a file, so a missing one is reported, not ignored.
bool IsSwitch(const std::string& arg)
{
    if (arg.size() < 2)
        return false;
    if (arg[0] == '-')
        return true;
    if (arg[0] != '/' || std::find(std::begin(kSwitches), std::end(kSwitches), arg.substr(1)) == std::end(kSwitches))
        return false;
    std::error_code ec;
    return !std::filesystem::exists(arg, ec);
}

} // namespace

void AfxParseCommandLine(const std::vector<std::string>& args, CCommandLineInfo& rCmdInfo)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool bFlag = IsSwitch(arg);
        const bool bLast = i + 1 == args.size();
        rCmdInfo.ParseParam(bFlag ? arg.substr(1) : arg, bFlag, bLast);
    }
}
