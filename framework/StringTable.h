#pragma once
// String resources: the framework's own table, and the program's, which is looked in
// first, so a program can give its own text for a framework ID (AFX_IDS_APP_TITLE).
#include <cstddef>
#include <string>

#include "framework/Types.h"

struct CStringEntry {
    UINT nID;
    const char* pszText;
};

// Sets the program's table (nCount entries, kept, not copied); once, before the program
// loads strings. Setting the same table again changes nothing.
void AfxSetProgramStrings(const CStringEntry* pEntries, std::size_t nCount);

// Returns the string with the given ID; empty when there is none.
const std::string& AfxLoadString(UINT nID);
// True when either table has a string with this ID.
bool AfxHasString(UINT nID);
// How many entries repeat an ID used before them, in either table or across the two
// (0 in sound tables: a program text would silently hide the framework's).
std::size_t AfxCountDuplicateStringIds();
// Replaces %1 (and %2) in a format string, as the framework's message formatting does.
std::string AfxFormatString1(UINT nIDFormat, const std::string& s1);
std::string AfxFormatString2(UINT nIDFormat, const std::string& s1, const std::string& s2);

// The first line of a command's prompt string (status bar), and the text after the
// newline (tool tip), empty when there is none.
std::string AfxCommandPrompt(UINT nID);
std::string AfxCommandToolTip(UINT nID);
