#pragma once
// The command line's "--import FILE [OUT.tab]": plain-text tablature read into a new
// document, written to OUT.tab (safely, as every save is) or handed to the editor's
// start. Needs no window and no toolkit.
#include <cstdio>
#include <string>
#include <vector>

class CFretlyDoc;

// What AfxRunImportCommand returns when the editor is to start with the import.
constexpr int kImportStartEditor = -1;

// values: FILE and, optionally, OUT ("-" as FILE reads standard input). Returns 0 when
// OUT was written, 1 with the reason written to err when nothing was (FILE missing,
// unreadable or without tablature; OUT not writable), or kImportStartEditor when there
// is no OUT and the import waits for AfxTakeImportedStart. What the import could not
// place on staffs is also reported to err.
int AfxRunImportCommand(const std::vector<std::string>& values, std::FILE* err);

// Moves the import waiting for the editor into the start-up document pDoc, which is
// then modified (so Save asks for a name) and shown; false when there is none.
bool AfxTakeImportedStart(CFretlyDoc* pDoc);
