#pragma once
// Recovery copies of unsaved work: where they lie, their names and their format, and the
// document's text they hold. CRecoveryCopy (RecoveryCopy.h) writes and offers them.
#include <string>
#include <string_view>

class CDocument;

// $XDG_STATE_HOME/fretly, or ~/.local/state/fretly.
std::string AfxRecoveryFolder();

// A name unique to this run of the program: its process id and start time.
std::string AfxRecoveryInstance();

// The file name of a copy: the document's file name made safe, a hash of its whole path
// and the instance, or "Untitled" and the instance; always well within NAME_MAX. The path
// itself is kept inside the copy, so no name needs to be reversed.
std::string AfxRecoveryFileName(const std::string& docPath, const std::string& instance);
// The path written into a copy: bytes that could break the line escaped as %XX.
std::string AfxEscapeRecoveryPath(std::string_view path);
std::string AfxUnescapeRecoveryPath(std::string_view text);

// What a copy holds besides the text: whose it is and who wrote it.
struct CRecoveryInfo {
    std::string docPath;   // the document's own file; empty for an untitled document
    long nPid = 0;         // the writer, alive only while pid and boot are both current
    std::string bootId;
};

// A copy is the document's .tab text behind three lines that begin with '#', which the
// .tab reader skips, so a copy also opens as a plain .tab file.
std::string AfxFormatRecoveryCopy(const CRecoveryInfo& info, std::string_view text);
// False when the bytes are not a recovery copy; on success text is the .tab text.
bool AfxParseRecoveryCopy(std::string_view bytes, CRecoveryInfo& info, std::string& text);
// The document's text as Save would write it.
bool AfxDocumentText(CDocument& doc, std::string& text);
// Reads text into the document as Open would a file; false when reading failed.
bool AfxLoadDocumentText(CDocument& doc, const std::string& text);
// The plain loader: a new document for an untitled copy, the text, then the path.
bool AfxLoadRecoveredText(CDocument& doc, const std::string& docPath, const std::string& text);
