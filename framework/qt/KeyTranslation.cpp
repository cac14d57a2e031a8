#include "framework/qt/KeyTranslation.h"

#include <array>
#include <cstring>

#include "framework/VirtualKeys.h"

namespace {

struct KeyCode {
    UINT vk;
    UINT scan;
};

// Navigation and editing keys: the arrow block and the keypad with Num Lock off share them.
bool NavigationKey(int key, KeyCode& out)
{
    switch (key) {
    case Qt::Key_Home: out = {VK_HOME, SCAN_HOME}; return true;
    case Qt::Key_Up: out = {VK_UP, SCAN_UP}; return true;
    case Qt::Key_PageUp: out = {VK_PRIOR, SCAN_PRIOR}; return true;
    case Qt::Key_Left: out = {VK_LEFT, SCAN_LEFT}; return true;
    case Qt::Key_Clear: out = {VK_CLEAR, SCAN_CLEAR}; return true;   // keypad 5, Num Lock off
    case Qt::Key_Right: out = {VK_RIGHT, SCAN_RIGHT}; return true;
    case Qt::Key_End: out = {VK_END, SCAN_END}; return true;
    case Qt::Key_Down: out = {VK_DOWN, SCAN_DOWN}; return true;
    case Qt::Key_PageDown: out = {VK_NEXT, SCAN_NEXT}; return true;
    case Qt::Key_Insert: out = {VK_INSERT, SCAN_INSERT}; return true;
    case Qt::Key_Delete: out = {VK_DELETE, SCAN_DELETE}; return true;
    default: return false;
    }
}

// Keys that type a fixed control character or none.
bool ControlKey(int key, KeyCode& out, std::optional<UINT>& ch, bool bCtrl)
{
    switch (key) {
    case Qt::Key_Backspace: out = {VK_BACK, SCAN_BACK}; ch = bCtrl ? 127u : 8u; return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: out = {VK_TAB, SCAN_TAB}; ch = 9u; return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: out = {VK_RETURN, SCAN_RETURN}; ch = bCtrl ? 10u : 13u; return true;
    case Qt::Key_Escape: out = {VK_ESCAPE, SCAN_ESCAPE}; ch = 27u; return true;
    case Qt::Key_Shift: out = {VK_SHIFT, SCAN_SHIFT}; return true;
    case Qt::Key_Control: out = {VK_CONTROL, SCAN_CONTROL}; return true;
    case Qt::Key_Alt: out = {VK_MENU, SCAN_MENU}; return true;
    case Qt::Key_Pause: out = {VK_PAUSE, SCAN_NUMLOCK}; return true;
    case Qt::Key_CapsLock: out = {VK_CAPITAL, SCAN_CAPITAL}; return true;
    case Qt::Key_NumLock: out = {VK_NUMLOCK, SCAN_NUMLOCK}; return true;
    case Qt::Key_ScrollLock: out = {VK_SCROLL, SCAN_SCROLL}; return true;
    default: return false;
    }
}

// The digit and decimal keys of the keypad with Num Lock on: keypad scan codes.
constexpr std::array<UINT, 10> kKeypadDigitScan = {SCAN_INSERT, SCAN_END,  SCAN_DOWN, SCAN_NEXT, SCAN_LEFT,
                                                   SCAN_CLEAR,  SCAN_RIGHT, SCAN_HOME, SCAN_UP,   SCAN_PRIOR};
// Top-row digits 0-9.
constexpr std::array<UINT, 10> kDigitScan = {11, 2, 3, 4, 5, 6, 7, 8, 9, 10};
// Letters A-Z.
constexpr std::array<UINT, 26> kLetterScan = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                              49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};

// Punctuation keys of a US keyboard, by the character they carry without and with Shift.
struct PunctKey {
    char plain;
    char shifted;
    UINT vk;
    UINT scan;
};
constexpr std::array<PunctKey, 11> kPunct = {{{'-', '_', VK_OEM_MINUS, 12},
                                              {'=', '+', VK_OEM_PLUS, 13},
                                              {'[', '{', VK_OEM_4, 26},
                                              {']', '}', VK_OEM_6, 27},
                                              {';', ':', VK_OEM_1, 39},
                                              {'\'', '"', VK_OEM_7, 40},
                                              {'`', '~', VK_OEM_3, 41},
                                              {'\\', '|', VK_OEM_5, 43},
                                              {',', '<', VK_OEM_COMMA, 51},
                                              {'.', '>', VK_OEM_PERIOD, 52},
                                              {'/', '?', VK_OEM_2, 53}}};
// Shifted top-row digits: the digit key's codes.
constexpr const char* kShiftedDigits = ")!@#$%^&*(";

bool KeypadKey(int key, KeyCode& out)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        const int d = key - Qt::Key_0;
        out = {VK_NUMPAD0 + static_cast<UINT>(d), kKeypadDigitScan[d]};
        return true;
    }
    switch (key) {
    case Qt::Key_Period:
    case Qt::Key_Comma: out = {VK_DECIMAL, SCAN_DELETE}; return true;   // the decimal key of some layouts gives ','
    case Qt::Key_Asterisk: out = {VK_MULTIPLY, 55}; return true;
    case Qt::Key_Plus: out = {VK_ADD, 78}; return true;
    case Qt::Key_Minus: out = {VK_SUBTRACT, 74}; return true;
    case Qt::Key_Slash: out = {VK_DIVIDE, 53}; return true;
    default: return false;
    }
}

// The character a printable key types, from the event's text.
std::optional<UINT> TypedChar(const QString& text)
{
    if (text.size() != 1)
        return std::nullopt;
    const UINT code = text.at(0).unicode();
    if (code < 0x20 || code == 0x7F)
        return std::nullopt;
    return code;
}

} // namespace

CKeyTranslation TranslateKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text)
{
    CKeyTranslation t;
    const bool bCtrl = modifiers.testFlag(Qt::ControlModifier);
    const bool bAlt = modifiers.testFlag(Qt::AltModifier);
    // Alt combinations are system keys: they drive the menus and never reach a view.
    if (bAlt && !bCtrl && qtKey != Qt::Key_Alt)
        return t;
    if (qtKey == Qt::Key_F10)   // F10 is a system key too (it opens the menu bar)
        return t;

    KeyCode code{0, 0};
    std::optional<UINT> ch;
    if (modifiers.testFlag(Qt::KeypadModifier) && KeypadKey(qtKey, code)) {
        // A keypad digit means Num Lock is on: it types. Its arrows come below.
        if (!bCtrl)
            ch = TypedChar(text);
        if (!ch && !bCtrl && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            ch = static_cast<UINT>('0' + (qtKey - Qt::Key_0));
    } else if (NavigationKey(qtKey, code)) {
        // Moves and deletes; no character.
    } else if (ControlKey(qtKey, code, ch, bCtrl)) {
        // Enter, Backspace, Tab, Escape and the shift and lock keys.
    } else if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        const int n = qtKey - Qt::Key_F1;
        code = {VK_F1 + static_cast<UINT>(n), n < 10 ? SCAN_F1 + static_cast<UINT>(n) : SCAN_F11 + (n - 10u)};
    } else if (qtKey == Qt::Key_Space) {
        code = {VK_SPACE, SCAN_SPACE};
        ch = 32u;
    } else if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        const int n = qtKey - Qt::Key_A;
        code = {'A' + static_cast<UINT>(n), kLetterScan[n]};
        // Ctrl+letter types its control code; otherwise the letter as the layout gives it.
        ch = bCtrl ? std::optional<UINT>(1u + n) : TypedChar(text);
    } else if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        const int d = qtKey - Qt::Key_0;
        code = {'0' + static_cast<UINT>(d), kDigitScan[d]};
        if (!bCtrl)
            ch = TypedChar(text);
    } else if (qtKey > 0x20 && qtKey < 0x7F) {
        // Punctuation: Qt reports the shifted symbol; find the key that carries it.
        const char c = static_cast<char>(qtKey);
        if (const char* p = std::strchr(kShiftedDigits, c); p != nullptr) {
            const int d = static_cast<int>(p - kShiftedDigits);
            code = {'0' + static_cast<UINT>(d), kDigitScan[d]};
        } else {
            for (const PunctKey& k : kPunct) {
                if (k.plain == c || k.shifted == c) {
                    code = {k.vk, k.scan};
                    break;
                }
            }
        }
        if (!bCtrl)
            ch = TypedChar(text);
    } else {
        // A key of another layout: no codes we know, but it may still type a character.
        if (!bCtrl)
            ch = TypedChar(text);
        if (!ch)
            return t;
    }
    t.bKeyDown = true;
    t.nVirtKey = code.vk;
    t.nScanCode = code.scan;
    t.nChar = ch;
    return t;
}
