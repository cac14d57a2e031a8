#include "resources/DialogTemplates.h"

#include "resources/Resource.h"

namespace {

using K = DlgControlKind;

const DlgTemplate kFileInfo = {
    IDD_FILEINFO, "Fretly - File Information", "MS Sans Serif", 8, 0, 0, 196, 217, false, false,
    {
        {K::DefPushButton, IDOK, "OK", 139, 7, 50, 14, true, false, false},
        {K::PushButton, IDCANCEL, "Cancel", 139, 25, 50, 14, true, false, false},
        {K::Static, IDC_STATIC, "Title:", 7, 66, 16, 8, false, false, false},
        {K::Static, IDC_STATIC, "Artist/Author:", 7, 50, 42, 8, false, false, false},
        {K::Static, IDC_STATIC, "Transcribed by:", 7, 101, 50, 8, false, false, false},
        {K::Static, IDC_STATIC, "Email Address:", 7, 117, 47, 8, false, false, false},
        {K::Static, IDC_STATIC, "Album:", 7, 82, 22, 8, false, false, false},
        {K::Edit, IDC_ARTIST, "", 62, 47, 127, 14, true, false, false},
        {K::Edit, IDC_SONGTITLE, "", 62, 63, 127, 14, true, false, false},
        {K::Edit, IDC_ALBUM, "", 62, 79, 127, 14, true, false, false},
        {K::Edit, IDC_TRANSCRIBER, "", 62, 98, 127, 14, true, false, false},
        {K::Edit, IDC_EMAIL, "", 62, 114, 127, 14, true, false, false},
        {K::EditMultiline, IDC_COMMENTS, "", 7, 143, 182, 53, true, false, false},
        {K::Static, IDC_STATIC, "Comments:", 7, 133, 36, 8, false, false, false},
        {K::Static, IDC_STATIC,
         "Edit the file information and press OK,\nor press Cancel to leave this\ninformation unchanged.", 7, 7,
         127, 32, false, false, false},
        {K::AutoCheckBox, IDC_FAIRUSE, "Insert Fair-Use Disclaimer", 7, 200, 182, 10, true, false, false},
    },
};

const DlgTemplate kAbout = {
    IDD_ABOUTBOX, "About fretly", "MS Sans Serif", 8, 0, 0, 217, 206, false, false,
    {
        {K::Icon, IDC_STATIC, "", 7, 7, 18, 20, false, false, false},
        {K::Static, IDC_STATIC, "Fretly Version 1.0", 35, 7, 88, 8, false, true, true},
        {K::Static, IDC_STATIC, "Copyright (C) 2026 Fretly", 35, 18, 88, 8, false, true, false},
        {K::DefPushButton, IDOK, "OK", 149, 7, 61, 14, true, true, false},
        {K::Static, IDC_STATIC, "Fretly Authors <fretly@example.org>", 7, 30, 134, 8, false, true,
         false},
        {K::PushButton, IDC_TABHINTS, "Tablature Hints", 149, 24, 61, 14, true, false, false},
        {K::Static, IDC_STATIC,
         "Fretly was designed to help streamline the process of creating ASCII tablature like that held in "
         "the Open Tab Shelf (https://tabshelf.example.net/).",
         7, 44, 203, 27, false, true, false},
        {K::Static, IDC_STATIC,
         "If you have any questions, comments or suggestions, please mail them to me at the address above.  I "
         "will try to fix any bugs or implement suggestions I receive (within reason).",
         7, 76, 203, 27, false, true, false},
        {K::Static, IDC_STATIC, "Updates and instructions will be posted to my home page, at", 7, 109, 203, 8, false,
         true, false},
        {K::StaticCenter, IDC_STATIC, "https://fretly.example.org/ascii-tab-editor/", 7, 124, 203, 8, false, true,
         false},
        {K::Static, IDC_STATIC,
         "Fretly is free software. You may copy and give it away to anyone, as long as it is passed on "
         "unchanged, with this notice, and nobody is charged for it.",
         7, 142, 203, 35, false, true, false},
        {K::Static, IDC_STATIC,
         "The author accepts no responsibility for any damage resulting from the use of this or any other "
         "software.",
         7, 181, 203, 18, false, true, false},
    },
};

DlgControlTemplate HintRow(int y, const std::string& text)
{
    return {K::Static, IDC_STATIC, text, 7, y, 111, 8, false, true, false};
}

const DlgTemplate kTabHints = {
    IDD_TABHINTS, "Tablature Hints", "MS Sans Serif", 8, 600, 5, 125, 184, true, true,
    {
        HintRow(7, "The following are the standard"),
        HintRow(16, "symbols used in creating tablature:"),
        HintRow(28, "h\tHammer On"),
        HintRow(37, "p\tPull Off"),
        HintRow(46, "b\tBend String Up"),
        HintRow(55, "r\tRelease Bend"),
        HintRow(64, "/\tSlide Up"),
        HintRow(73, "\\\tSlide Down"),
        HintRow(82, "v\tVibrato"),
        HintRow(91, "*\tTrill (eg. 8*10)"),
        HintRow(100, "t\tRight Hand Tap (eg. t10)"),
        HintRow(109, "x\tMuted Note (or Rake)"),
        HintRow(118, "^\tHarmonic (eg. 12^)"),
        HintRow(130, "Other useful Fretly keys:"),
        HintRow(142, "Enter\tSkip down to next line"),
        HintRow(151, "\twithout shifting to the right"),
        HintRow(160, "\t(for creating chords)"),
        HintRow(169, "(Pipe)\tInsert Vertical Bar"),
    },
};

} // namespace

const DlgTemplate* AfxFindProgramDialogTemplate(UINT nID)
{
    switch (nID) {
    case IDD_FILEINFO:
        return &kFileInfo;
    case IDD_ABOUTBOX:
        return &kAbout;
    case IDD_TABHINTS:
        return &kTabHints;
    default:
        return nullptr;
    }
}
