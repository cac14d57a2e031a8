#pragma once
// The tablature document: staffs, header fields and flags, the staff and column
// operations, and the .tab reader and writer (TabFile.cpp).
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/FileInfoDlg.h"
#include "document/Staff.h"
#include "framework/Document.h"

class CArchive;

class CFretlyDoc : public CDocument {
public:
    CFretlyDoc();
    ~CFretlyDoc() override;

    int m_nStaffs;
    std::vector<std::unique_ptr<CStaff>> m_ppStaffs;
    std::string m_strArtist;
    std::string m_strSongTitle;
    std::string m_strAlbum;
    std::string m_strTranscriber;
    std::string m_strEmail;
    std::string m_strComments;       // lines separated by CR LF
    bool m_bFairUse;
    bool m_bStaffCountChanged;
    CFileInfoDlg m_dlgFileInfo;
    bool m_bSkipHeaderDialog;

    bool OnNewDocument() override;
    void Serialize(CArchive& ar) override;
    bool LoadAhead(CArchive& ar) override;
    void AdoptAhead(CDocument& ahead) override;
    bool HelpLoadAhead() override;
    void EndHelpLoadAhead() override;

    // Staff operations
    void InsertStaff(int nAfter);
    void DeleteStaff(int nStaff);
    void SetBarLine(int nStaff, int nCol);

    // Column operations (ColumnOps.cpp)
    void InsertColumns(int nStaff, int nCol, int nCount);
    void DeleteColumn(int nStaff, int nCol);
    void MoveDown(int nStaff, int nCol);
    void MergeUp(int nStaff);

    void OnViewHeaders();

    // Exchanges staffs, header fields and comments with other (a document read or
    // imported apart from this one); nothing is shown or marked.
    void SwapContents(CFretlyDoc& other);

private:
    void WriteTab(CArchive& ar);
    void ReadTab(CArchive& ar);
    // The reading itself, without views or messages; returns whether the file is
    // a Fretly file.
    bool ParseTab(CArchive& ar);
    // What follows the reading: the views, the header dialog, or the refusal.
    void FinishReadTab(bool bValid);
    bool ReadStaffBlock(CArchive& ar, CStaff& staff, std::string_view& line);
    // Replaces every staff by one new empty staff.
    void ResetStaffs();
    // Empties the six header strings.
    void ClearHeaderFields();
    // A new empty staff, made from a spare one when there is one.
    std::unique_ptr<CStaff> NewStaff();

    // Staffs of the document being replaced by a file, reused while it is read so that
    // a large document does not hand its memory back only to fault it in again.
    std::vector<std::unique_ptr<CStaff>> m_spareStaffs;
    // What ParseTab said of a file read ahead.
    bool m_bAheadValid = false;

    DECLARE_MESSAGE_MAP()
};

// A new tablature document, as the program's document template and its read-ahead make it.
std::unique_ptr<CDocument> AfxNewTabDocument();

// The six header fields: the document's, the file information dialog's box for each, and
// the label the reader looks for ("Author/Artist:"; none for the comments), in the order
// the reader tries the labels. Whatever walks all the fields (reading, clearing, copying,
// the dialog exchange) walks this table.
struct CHeaderField {
    std::string CFretlyDoc::*pDocField;
    std::string CFileInfoDlg::*pDlgField;
    std::string_view readLabel;
    bool bLentToDialog;   // may be huge (the comments): moved to the dialog and back, never copied
};
extern const CHeaderField g_headerFields[6];

// The fixed texts of the .tab format, also printed on paper.
extern const char* const g_szDisclaimer[3];
// Line 2 of the banner is built from the string table during start-up; read it at run
// time, not from another static initialiser.
extern const char* const g_szBanner[3];
extern const char g_szRecognition[];
extern const char g_szLabelArtist[];
extern const char g_szLabelTitle[];
extern const char g_szLabelAlbum[];
extern const char g_szLabelTranscriber[];
extern const char g_szLabelEmail[];
