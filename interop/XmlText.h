#pragma once
// Text of a document (8-bit bytes, as read) as XML character data that can never break
// the markup: UTF-8 where the whole text is valid UTF-8, else each byte read as Windows-1252
// (Latin-1 with the printable characters of 0x80-0x9F), as the editor shows such text; the
// markup characters & < > " ' escaped; CR LF and lone CR written as LF; every character XML
// cannot hold (control bytes, U+FFFE, U+FFFF) written as U+FFFD.
#include <string>
#include <string_view>

void AfxAppendXmlText(std::string& out, std::string_view bytes);
// True when bytes are well-formed UTF-8 (no overlong forms, surrogates or code points
// past U+10FFFF).
bool AfxIsValidUtf8(std::string_view bytes);
