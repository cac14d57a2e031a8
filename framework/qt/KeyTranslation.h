#pragma once
// Turns a Qt key press into the key-down and character messages a view expects: the
// virtual-key code, the PC scan code, and the character code for keys that type one.
// Pure, so the whole table can be tested without a window.
#include <QString>
#include <Qt>

#include <optional>

#include "framework/Types.h"

struct CKeyTranslation {
    bool bKeyDown = false;       // deliver OnKeyDown(nVirtKey, 1, nScanCode)
    UINT nVirtKey = 0;
    UINT nScanCode = 0;          // low byte of OnKeyDown's flags
    std::optional<UINT> nChar;   // then OnChar(*nChar) when the key types a character
};

// qtKey and modifiers as QKeyEvent reports them; text is the event's text. Keypad keys
// carry Qt::KeypadModifier: a digit key means Num Lock is on, an arrow key that it is off.
// Alt combinations belong to the menus and give nothing.
CKeyTranslation TranslateKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);
