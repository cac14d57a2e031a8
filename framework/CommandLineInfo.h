#pragma once
// What the command line asks the application to do at start-up.
#include <string>
#include <vector>

class CCommandLineInfo {
public:
    enum Shell { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, FileNothing };

    virtual ~CCommandLineInfo() = default;

    // One argument: bFlag when it began with '-' or '/' (pszParam is the rest),
    // bLast for the final argument.
    virtual void ParseParam(const std::string& param, bool bFlag, bool bLast);

    bool m_bShowSplash = true;
    bool m_bRunEmbedded = false;
    bool m_bRunAutomated = false;
    Shell m_nShellCommand = FileNew;
    std::string m_strFileName;
    std::string m_strPrinterName;
    std::string m_strDriverName;
    std::string m_strPortName;

private:
    void ParseLast(bool bLast);
    int m_nParams = 0;
};

// Feeds every argument after the program name to rCmdInfo in order.
void AfxParseCommandLine(const std::vector<std::string>& args, CCommandLineInfo& rCmdInfo);
