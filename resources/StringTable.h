#pragma once
// The program's string table (with its dialog templates and icon names): every text of
// Fretly's own that the user sees, byte for byte, beside the framework's table.
#include "framework/StringTable.h"
#include "resources/Resource.h"
