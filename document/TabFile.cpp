// The .tab text format: writer and reader.
#include "document/FretlyDoc.h"
#include "framework/Archive.h"

const char* const g_szDisclaimer[3] = {
    "#----------------------------------PLEASE NOTE--------------------------------#",
    "#This file is the author's own work and represents their interpretation of the#",
    "#song. You may only use this file for private study, scholarship, or research.#",
};
const char* const g_szBanner[3] = {
    "#-----------------------------------------------------------------------------#",
    "#-- File created with Fretly - https://fretly.example.org/ascii-tab-editor/ --#",
    "#-----------------------------------------------------------------------------#",
};
const char g_szRecognition[] = "File created with Fretly";
const char g_szLabelArtist[] = "Author/Artist: ";
const char g_szLabelTitle[] = "Title: ";
const char g_szLabelAlbum[] = "Album: ";
const char g_szLabelTranscriber[] = "Transcribed by: ";
const char g_szLabelEmail[] = "Email: ";

void CFretlyDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        WriteTab(ar);
    else
        ReadTab(ar);
}

// Not yet written; see the document work.
void CFretlyDoc::WriteTab(CArchive&) {}
void CFretlyDoc::ReadTab(CArchive&) {}
