#pragma once
// Resource and command IDs of Fretly, beside the framework's own.
#include "framework/FrameworkResource.h"

// Resources
#define IDR_MAINFRAME 128
#define IDD_ABOUTBOX 100
#define IDD_TABHINTS 131
#define IDD_FILEINFO 132
#define IDR_PREVIEW_ACCEL 30997

// Controls
#define IDC_TABHINTS 1000
#define IDC_ARTIST 1001
#define IDC_SONGTITLE 1002
#define IDC_ALBUM 1004
#define IDC_TRANSCRIBER 1005
#define IDC_EMAIL 1006
#define IDC_COMMENTS 1007
#define IDC_FAIRUSE 1010

// Fretly's own commands
#define ID_HELP_TABHINTS 32771
#define ID_EDIT_INSERTSTAFF 32772
#define ID_EDIT_VERTICALBAR 32773
#define ID_VIEW_HEADERS 32774
#define ID_EDIT_DELETESTAFF 32775
#define ID_EDIT_INSERTCOLUMN 32776
#define ID_EDIT_DELETECOLUMN 32777
#define ID_EDIT_MOVEDOWN 32779
#define ID_EDIT_MERGEUP_PROMPT 32780  // prompt string only; no command uses it
#define ID_EDIT_MERGEUP 32781

// Fretly's own message strings (ids of our choosing)
#define IDS_INVALID_FILE 1
#define IDS_CREATE_FONT_FAILED 2
#define IDS_DELETE_STAFF_QUESTION 3
#define IDS_HOME_PAGE 4
#define IDS_VERSION 5
// The launcher (ids kept apart, as the framework's are)
#define IDS_PROGRAM_INCOMPLETE 64

// Exporting a song from the command line (ids kept apart, as above)
#define IDS_EXPORT_USAGE 140
#define IDS_EXPORT_UNKNOWN_FORMAT 141
#define IDS_EXPORT_NOT_EXPORTED 142
#define IDS_EXPORT_SAME_FILE 143
#define IDS_EXPORT_SETTING_UNREAD 144
#define IDS_EXPORT_NOT_REGULAR 146
#define IDS_EXPORT_SONG_NOT_REGULAR 147

// Plain-text import and the command-line help (ids kept apart, as above)
#define IDS_IMPORT_USAGE 90
#define IDS_IMPORT_CANNOT_READ 91
#define IDS_IMPORT_NO_TABLATURE 92
#define IDS_IMPORT_CANNOT_WRITE 93
#define IDS_IMPORT_WIDE_SYSTEM 94
#define IDS_HELP_FORMS 95
#define IDS_IMPORT_NOT_REGULAR 97

// Playing a song (--play)
#define IDS_PLAY_NO_SONG 200
#define IDS_PLAY_NO_VALUE 201
#define IDS_PLAY_BAD_TEMPO 202
#define IDS_PLAY_BAD_FROM 203
#define IDS_PLAY_FROM_PAST_END 204
#define IDS_PLAY_NO_SOUNDFONT 205
#define IDS_PLAY_SOUNDFONT_FAILED 206
#define IDS_PLAY_SYNTH_FAILED 207
#define IDS_PLAY_NO_DEVICE 208
#define IDS_PLAY_TOO_LONG_FOR_WAV 209
#define IDS_PLAY_WRITE_FAILED 210
#define IDS_PLAY_PROGRESS 211
#define IDS_PLAY_REFUSED 212
#define IDS_PLAY_MODULE_MISSING 213

// Hands the program's strings, dialog templates and icon names to the framework
// (resources/StringTable.cpp). Done wherever the program's IDs are used, before any of
// them is looked up: the variable below is set up once, as the program starts.
bool AfxUseProgramResources();
inline const bool g_bProgramResources = AfxUseProgramResources();
