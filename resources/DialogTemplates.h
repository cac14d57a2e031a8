#pragma once
// The program's dialog templates (About, Tablature Hints, File Information).
#include "framework/DialogTemplate.h"

// The program's template with this ID, or nullptr; the framework finds it through
// FindDialogTemplate.
const DlgTemplate* AfxFindProgramDialogTemplate(UINT nID);
