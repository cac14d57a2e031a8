#include "framework/CommandLine.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace {

// The toolkit's options that take the next argument as their value; the toolkit removes
// both before the application sees its arguments, so the value is never a file name.
constexpr std::string_view kToolkitWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "style", "stylesheet", "session",
    "qwindowgeometry", "qwindowicon", "qwindowtitle", "display", "geometry", "name", "title", "visual",
};
// Those also written "-option=value", as one argument.
constexpr std::string_view kToolkitJoined[] = {"style", "stylesheet", "qmljsdebugger"};

const std::vector<CLongOptionForm> kLongOptions = {
    {"version", 0, 0},
    {"help", 0, 0},
    {"import", 1, 2},
    {"export", 2, 2},
    {"play", 1, 1},
    {"to", 1, 1},
    {"tempo", 1, 1},
    {"from", 1, 1},
};

bool Contains(const auto& list, std::string_view name)
{
    return std::find(std::begin(list), std::end(list), name) != std::end(list);
}

// The toolkit takes "-name" and "--name" alike.
std::string_view ToolkitName(std::string_view arg)
{
    if (arg.size() < 2 || arg[0] != '-')
        return {};
    arg.remove_prefix(arg[1] == '-' ? 2 : 1);
    return arg;
}

const CLongOptionForm* FindForm(const std::vector<CLongOptionForm>& forms, std::string_view name)
{
    for (const CLongOptionForm& form : forms)
        if (name == form.pszName)
            return &form;
    return nullptr;
}

// A value may be "-" (standard input or output) but not another option.
bool IsValue(const std::string& arg) { return arg == "-" || arg.empty() || arg[0] != '-'; }

} // namespace

const std::vector<CLongOptionForm>& AfxLongOptionForms() { return kLongOptions; }

CCommandLine CCommandLine::Parse(int argc, char* argv[])
{
    return Parse(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + std::max(argc, 0)));
}

CCommandLine CCommandLine::Parse(const std::vector<std::string>& args) { return Parse(args, kLongOptions); }

CCommandLine CCommandLine::Parse(const std::vector<std::string>& args, const std::vector<CLongOptionForm>& forms)
{
    CCommandLine line;
    line.m_args = args;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string_view toolkit = ToolkitName(arg);
        const std::size_t equals = toolkit.find('=');
        if (Contains(kToolkitWithValue, toolkit)) {
            line.m_toolkitArgs.push_back(arg);
            if (i + 1 < args.size())
                line.m_toolkitArgs.push_back(args[++i]);
            if (toolkit == "platform" || toolkit == "display")
                line.m_bToolkitDisplay = true;
            continue;
        }
        if (equals != std::string_view::npos && Contains(kToolkitJoined, toolkit.substr(0, equals))) {
            line.m_toolkitArgs.push_back(arg);
            continue;
        }
        const CLongOptionForm* pForm = nullptr;
        std::string_view name;
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            name = std::string_view(arg).substr(2);
            pForm = FindForm(forms, name.substr(0, name.find('=')));
        }
        if (pForm == nullptr) {
            line.m_appArgs.push_back(arg);
            continue;
        }
        CLongOption option;
        option.strName = pForm->pszName;
        if (const std::size_t eq = name.find('='); eq != std::string_view::npos)
            option.values.emplace_back(name.substr(eq + 1));
        // The values an option needs are taken whatever they look like; optional ones
        // only while they do not look like another option.
        while (static_cast<int>(option.values.size()) < pForm->nMaxValues && i + 1 < args.size() &&
               (static_cast<int>(option.values.size()) < pForm->nMinValues || IsValue(args[i + 1])))
            option.values.push_back(args[++i]);
        option.bMissingValue = static_cast<int>(option.values.size()) < pForm->nMinValues;
        line.m_longOptions.push_back(std::move(option));
    }
    AfxParseCommandLine(line.m_appArgs, line.m_info);
    return line;
}

const CLongOption* CCommandLine::Find(const std::string& strName) const
{
    for (const CLongOption& option : m_longOptions)
        if (option.strName == strName)
            return &option;
    return nullptr;
}

namespace {

CCommandLine& TheCommandLine()
{
    static CCommandLine line;
    return line;
}

} // namespace

const CCommandLine& AfxGetCommandLine() { return TheCommandLine(); }

const CCommandLine& AfxSetCommandLine(CCommandLine line)
{
    TheCommandLine() = std::move(line);
    return TheCommandLine();
}
