#pragma once
// A document as plain-text tablature, the form tab sites and mails carry: the header as
// labelled lines, the comments, then each staff as a text line (when it holds any) over
// six string lines named e B G D A E. Importing the result gives back the same staffs.
#include <string>

class CFretlyDoc;

// Replaces strOut with the text (LF line ends). Returns true; false is kept for
// writers that can fail.
bool ExportPlainText(const CFretlyDoc& doc, std::string& strOut);
