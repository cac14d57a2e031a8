#pragma once
// Dialog templates as data: positions in dialog units, controls in template (tab) order.
// The templates are the program's; the framework finds them by ID.
#include <string>
#include <vector>

#include "framework/Types.h"

enum class DlgControlKind {
    DefPushButton,
    PushButton,
    Static,        // left-aligned static text
    StaticCenter,  // centred static text
    Icon,          // the main icon
    Edit,          // single-line edit, border, horizontal auto-scroll
    EditMultiline, // multi-line, Enter makes a new line, both scroll bars
    AutoCheckBox,
};

struct DlgControlTemplate {
    DlgControlKind kind;
    int nID;              // -1 for statics without an ID
    std::string text;
    int x, y, cx, cy;     // dialog units
    bool bTabStop;
    bool bGroup;
    bool bNoPrefix;       // '&' shown as is
};

struct DlgTemplate {
    UINT nID;
    std::string caption;
    std::string fontFace;
    int nFontPointSize;
    int x, y, cx, cy;     // dialog units; (0, 0) means centred over the owner
    bool bToolWindow;     // small caption, no taskbar button, sunken client edge
    bool bVisible;        // shows itself on creation
    std::vector<DlgControlTemplate> controls;
};

// Where the program's templates are found; set once at start.
using DialogTemplateFinder = const DlgTemplate* (*)(UINT nID);
void AfxSetProgramDialogTemplates(DialogTemplateFinder pfnFind);

// The template with this ID, or nullptr.
const DlgTemplate* FindDialogTemplate(UINT nID);
