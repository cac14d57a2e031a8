#pragma once
// Small text helpers shared by the readers of key files, INI files and mimeapps.list.
#include <string_view>

// s without the blanks, tabs and carriage returns around it.
inline std::string_view AfxTrim(std::string_view s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}
