#pragma once
// The framework's own resource IDs: its standard commands, controls and strings, and the
// IDs of texts that framework code shows. A program's resource header includes this one
// and adds its own IDs; the framework never sees the program's.
//
// Most strings here are in the framework's own table (framework/StringTable.cpp). A few
// are the program's to give, in its own table: the application title (AFX_IDS_APP_TITLE),
// the idle prompt, the desktop entry texts and the recovery question, which name the
// program.

// Dialog results and controls
#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7
#define IDC_STATIC (-1)

// The icon of the document template's document type (its frame icon is the template's
// own resource ID)
#define IDI_DOCUMENT 129

// Framework commands
#define ID_SEPARATOR 0
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_CLOSE 57602
#define ID_FILE_SAVE 57603
#define ID_FILE_SAVE_AS 57604
#define ID_FILE_PAGE_SETUP 57605
#define ID_FILE_PRINT_SETUP 57606
#define ID_FILE_PRINT 57607
#define ID_FILE_PRINT_DIRECT 57608
#define ID_FILE_PRINT_PREVIEW 57609
#define ID_FILE_MRU_FILE1 57616
#define ID_FILE_MRU_LAST 57631
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define AFX_ID_PREVIEW_CLOSE 58112
#define AFX_ID_PREVIEW_NEXT 58114
#define AFX_ID_PREVIEW_PREV 58115
#define ID_INDICATOR_CAPS 59137
#define ID_INDICATOR_NUM 59138
#define ID_INDICATOR_SCRL 59139
#define AFX_IDW_TOOLBAR 59392
#define AFX_IDW_STATUS_BAR 59393

// Framework strings
#define AFX_IDS_APP_TITLE 57344
#define AFX_IDS_IDLEMESSAGE 57345
#define AFX_IDS_SCSIZE 61184
#define AFX_IDS_PREVIEW_CLOSE 61445
#define AFX_IDS_OPENFILE 61440
#define AFX_IDS_SAVEFILE 61441
#define AFX_IDS_ALLFILTER 61442
#define AFX_IDS_UNTITLED 61443
#define AFX_IDP_INVALID_FILENAME 61696
#define AFX_IDP_FAILED_TO_OPEN_DOC 61697
#define AFX_IDP_FAILED_TO_SAVE_DOC 61698
#define AFX_IDP_ASK_TO_SAVE 61699
#define AFX_IDP_FAILED_TO_CREATE_DOC 61700
#define AFX_IDP_FAILED_TO_START_PRINT 61702
#define AFX_IDP_COMMAND_FAILURE 61705
#define AFX_IDP_FAILED_MEMORY_ALLOC 61706
#define AFX_IDP_FAILED_INVALID_FORMAT 61728
#define AFX_IDP_FILE_NONE 61856
#define AFX_IDP_FILE_GENERIC 61857
#define AFX_IDP_FILE_NOT_FOUND 61858
#define AFX_IDP_FILE_BAD_PATH 61859
#define AFX_IDP_FILE_TOO_MANY_OPEN 61860
#define AFX_IDP_FILE_ACCESS_DENIED 61861
#define AFX_IDP_FILE_INVALID_FILE 61862
#define AFX_IDP_FILE_REMOVE_CURRENT 61863
#define AFX_IDP_FILE_DIR_FULL 61864
#define AFX_IDP_FILE_BAD_SEEK 61865
#define AFX_IDP_FILE_HARD_IO 61866
#define AFX_IDP_FILE_SHARING 61867
#define AFX_IDP_FILE_LOCKING 61868
#define AFX_IDP_FILE_DISKFULL 61869
#define AFX_IDP_FILE_EOF 61870

// Texts the framework shows, with IDs of its choosing (kept apart in ranges, so that
// additions in one place do not meet another's)
#define IDS_TEXT_TOO_LONG_TO_EDIT 6
// Printing
#define IDS_NO_DEFAULT_PRINTER 20
#define IDS_PRINTER_NOT_FOUND 21
#define IDS_PRINT_STATUS_CAPTION 22
#define IDS_PRINT_STATUS_ON 23
#define IDS_PRINT_STATUS_PAGE 24
#define IDS_PRINT_STATUS_PAGE_OF 25
#define IDS_PRINT_STATUS_CANCEL 26
#define IDS_PRINT_TO_FILE 27
// Desktop entry (the program's texts)
#define IDS_SHELL_GENERIC_NAME 40
#define IDS_SHELL_COMMENT 41
#define IDS_SHELL_PRINT 42
// Command line and start-up without a display
#define IDS_PRINT_NO_FILE 60
#define IDS_NO_DISPLAY 61
#define IDS_UNATTENDED_ANSWER 62
#define IDS_UNATTENDED_DIALOG 63
// Saving and opening files
#define IDS_FILE_NOT_REGULAR 70
#define IDS_FILE_LINK_LOOP 71
#define IDS_FILE_COPY_KEPT 72
// Recovery copies of unsaved work (the question is the program's text)
#define IDS_RECOVER_QUESTION 80
#define IDS_RECOVER_UNREADABLE 81
