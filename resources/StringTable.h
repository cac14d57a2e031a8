#pragma once
// The one string table: every text the user sees, byte for byte.
#include <cstddef>
#include <string>

#include "framework/Types.h"

// Returns the string with the given ID; empty when there is none.
const std::string& AfxLoadString(UINT nID);
// True when the table has a string with this ID.
bool AfxHasString(UINT nID);
// How many entries of the table repeat an ID used before them (0 in a sound table).
std::size_t AfxCountDuplicateStringIds();
// Replaces %1 (and %2) in a format string, as the framework's message formatting does.
std::string AfxFormatString1(UINT nIDFormat, const std::string& s1);
std::string AfxFormatString2(UINT nIDFormat, const std::string& s1, const std::string& s2);
