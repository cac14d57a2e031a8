#pragma once
// Document text is 8-bit bytes exactly as read; widgets need QString. Bytes that are valid
// UTF-8 are read as UTF-8, anything else as Latin-1, and written back the same way, so text
// the user did not edit comes back byte for byte.
#include <QString>

#include <string>
#include <string_view>

enum class CTextEncoding { Utf8, Latin1 };

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);
CTextEncoding DetectTextEncoding(std::string_view bytes);

// Bytes to text: UTF-8 when valid, Latin-1 otherwise.
QString BytesToQString(std::string_view bytes);
// Text to bytes in the given encoding. Latin-1 falls back to UTF-8 for text holding a
// character Latin-1 cannot carry, so nothing typed is lost.
std::string QStringToBytes(const QString& text, CTextEncoding encoding = CTextEncoding::Utf8);
