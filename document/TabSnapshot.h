#pragma once
// A quick copy of what a tablature's .tab text is made from, so that the text of a long
// document can be made away from the thread that edits it (the recovery copy).
#include <functional>
#include <string>

class CDocument;

// Copies the header fields and staffs now; the function returned makes the text as Save
// would write it, on any thread, and may run long after the document has changed.
std::function<bool(std::string&)> AfxSnapshotTab(CDocument& doc);
