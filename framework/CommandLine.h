#pragma once
// The program's command line, taken apart once at start: the toolkit's own options, the
// long options ("--version", each with the values that follow it) and what is left for
// the application (a file, "/p", "/pt" ...), already read into a CCommandLineInfo.
// The launcher's read-ahead, the display check and the application all read this one
// value rather than each parsing argv again.
#include <string>
#include <vector>

#include "framework/CommandLineInfo.h"

// One long option met on the command line, in the order met.
struct CLongOption {
    std::string strName;                  // without the leading "--"
    std::vector<std::string> values;      // "--name=value" or the arguments that follow it
    bool bMissingValue = false;           // fewer values than the option needs were there
};

struct CLongOptionForm;

class CCommandLine {
public:
    // args: the command line after the program name; the long options are those of
    // AfxLongOptionForms unless forms are given.
    static CCommandLine Parse(const std::vector<std::string>& args);
    static CCommandLine Parse(const std::vector<std::string>& args, const std::vector<CLongOptionForm>& forms);
    static CCommandLine Parse(int argc, char* argv[]);

    // The first long option of that name, or nullptr.
    const CLongOption* Find(const std::string& strName) const;
    bool Has(const std::string& strName) const { return Find(strName) != nullptr; }
    // A toolkit option (such as "-platform" or "-display") names where windows go.
    bool NamesDisplay() const { return m_bToolkitDisplay; }

    std::vector<std::string> m_args;          // everything after the program name, as given
    std::vector<std::string> m_appArgs;       // m_args without the toolkit's and the long options
    std::vector<std::string> m_toolkitArgs;   // the toolkit's options with their values
    std::vector<CLongOption> m_longOptions;   // the long options known to the program
    CCommandLineInfo m_info;                  // m_appArgs read as the application reads them

private:
    bool m_bToolkitDisplay = false;
};

// The long options the program knows and how many values each takes; any other "--name"
// is left to the application, which ignores unknown switches.
struct CLongOptionForm {
    const char* pszName;
    int nMinValues;
    int nMaxValues;
};
const std::vector<CLongOptionForm>& AfxLongOptionForms();

// The process's command line, set once by the program's entry; empty until then.
const CCommandLine& AfxGetCommandLine();
const CCommandLine& AfxSetCommandLine(CCommandLine line);
