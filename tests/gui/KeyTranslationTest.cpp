// The key table: what a view receives for each key a user can press.
#include <gtest/gtest.h>

#include "framework/qt/KeyTranslation.h"

namespace {

struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers mods;
    QString text;
    UINT vk;
    UINT scan;
    int ch;   // -1: no character
};

void Expect(const KeyCase& c)
{
    SCOPED_TRACE(c.name);
    const CKeyTranslation t = TranslateKey(c.key, c.mods, c.text);
    ASSERT_TRUE(t.bKeyDown);
    EXPECT_EQ(t.nVirtKey, c.vk);
    EXPECT_EQ(t.nScanCode, c.scan);
    if (c.ch < 0)
        EXPECT_FALSE(t.nChar.has_value());
    else
        EXPECT_EQ(t.nChar.value_or(9999), static_cast<UINT>(c.ch));
}

const Qt::KeyboardModifiers kNone = Qt::NoModifier;
const Qt::KeyboardModifiers kPad = Qt::KeypadModifier;
const Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
const Qt::KeyboardModifiers kShift = Qt::ShiftModifier;

} // namespace

TEST(KeyTranslation, ArrowsAndDeleteMoveWithoutTyping)
{
    // Qt gives Delete the text "\x7f": it must not become a character.
    const KeyCase cases[] = {
        {"Up", Qt::Key_Up, kNone, "", 38, 72, -1},
        {"Down", Qt::Key_Down, kNone, "", 40, 80, -1},
        {"Left", Qt::Key_Left, kNone, "", 37, 75, -1},
        {"Right", Qt::Key_Right, kNone, "", 39, 77, -1},
        {"Delete", Qt::Key_Delete, kNone, QString(QChar(0x7F)), 46, 83, -1},
        {"Home", Qt::Key_Home, kNone, "", 36, 71, -1},
        {"End", Qt::Key_End, kNone, "", 35, 79, -1},
        {"PageUp", Qt::Key_PageUp, kNone, "", 33, 73, -1},
        {"PageDown", Qt::Key_PageDown, kNone, "", 34, 81, -1},
        {"Insert", Qt::Key_Insert, kNone, "", 45, 82, -1},
        {"Shift+Up", Qt::Key_Up, kShift, "", 38, 72, -1},
    };
    for (const KeyCase& c : cases)
        Expect(c);
}

TEST(KeyTranslation, KeypadTypesWithNumLockOnAndMovesWithItOff)
{
    const KeyCase cases[] = {
        // Num Lock on: digits and '.', virtual keys above 50, arrow-block scan codes.
        {"pad 8 on", Qt::Key_8, kPad, "8", 104, 72, '8'},
        {"pad 2 on", Qt::Key_2, kPad, "2", 98, 80, '2'},
        {"pad 4 on", Qt::Key_4, kPad, "4", 100, 75, '4'},
        {"pad 6 on", Qt::Key_6, kPad, "6", 102, 77, '6'},
        {"pad 0 on", Qt::Key_0, kPad, "0", 96, 82, '0'},
        {"pad 5 on", Qt::Key_5, kPad, "5", 101, 76, '5'},
        {"pad . on", Qt::Key_Period, kPad, ".", 110, 83, '.'},
        {"pad 7 no text", Qt::Key_7, kPad, "", 103, 71, '7'},
        // Num Lock off: the same physical keys move and delete.
        {"pad 8 off", Qt::Key_Up, kPad, "", 38, 72, -1},
        {"pad 2 off", Qt::Key_Down, kPad, "", 40, 80, -1},
        {"pad 4 off", Qt::Key_Left, kPad, "", 37, 75, -1},
        {"pad 6 off", Qt::Key_Right, kPad, "", 39, 77, -1},
        {"pad 5 off", Qt::Key_Clear, kPad, "", 12, 76, -1},
        {"pad . off", Qt::Key_Delete, kPad, "", 46, 83, -1},
        {"pad Enter", Qt::Key_Enter, kPad, "\r", 13, 28, 13},
        {"pad *", Qt::Key_Asterisk, kPad, "*", 106, 55, '*'},
        {"pad -", Qt::Key_Minus, kPad, "-", 109, 74, '-'},
    };
    for (const KeyCase& c : cases)
        Expect(c);
}

TEST(KeyTranslation, ControlCharacters)
{
    const KeyCase cases[] = {
        {"Enter", Qt::Key_Return, kNone, "\r", 13, 28, 13},
        {"Backspace", Qt::Key_Backspace, kNone, "\b", 8, 14, 8},
        {"Tab", Qt::Key_Tab, kNone, "\t", 9, 15, 9},
        {"Shift+Tab", Qt::Key_Backtab, kShift, "", 9, 15, 9},
        {"Escape", Qt::Key_Escape, kNone, "\x1b", 27, 1, 27},
        {"Space", Qt::Key_Space, kNone, " ", 32, 57, 32},
        // Ctrl+letter is its control code whatever text the platform gives.
        {"Ctrl+A", Qt::Key_A, kCtrl, "\x01", 65, 30, 1},
        {"Ctrl+H", Qt::Key_H, kCtrl, "", 72, 35, 8},
        {"Ctrl+M", Qt::Key_M, kCtrl, "", 77, 50, 13},
        {"Ctrl+Shift+Z", Qt::Key_Z, kCtrl | kShift, "", 90, 44, 26},
        // Ctrl with a digit types nothing.
        {"Ctrl+5", Qt::Key_5, kCtrl, "", 53, 6, -1},
    };
    for (const KeyCase& c : cases)
        Expect(c);
}

TEST(KeyTranslation, PrintableCharactersAsTyped)
{
    const KeyCase cases[] = {
        {"a", Qt::Key_A, kNone, "a", 65, 30, 'a'},
        {"Shift+h", Qt::Key_H, kShift, "H", 72, 35, 'H'},
        {"7", Qt::Key_7, kNone, "7", 55, 8, '7'},
        {"0", Qt::Key_0, kNone, "0", 48, 11, '0'},
        {"|", Qt::Key_Bar, kShift, "|", 220, 43, '|'},
        {"backslash", Qt::Key_Backslash, kNone, "\\", 220, 43, '\\'},
        {"/", Qt::Key_Slash, kNone, "/", 191, 53, '/'},
        {"^", Qt::Key_AsciiCircum, kShift, "^", 54, 7, '^'},
        {"*", Qt::Key_Asterisk, kShift, "*", 56, 9, '*'},
        {"-", Qt::Key_Minus, kNone, "-", 189, 12, '-'},
        {"~", Qt::Key_AsciiTilde, kShift, "~", 192, 41, '~'},
        {"e-acute", Qt::Key_Eacute, kNone, QString(QChar(0xE9)), 0, 0, 0xE9},
    };
    for (const KeyCase& c : cases)
        Expect(c);
}

TEST(KeyTranslation, NoKeyCodeEverLooksLikeAnArrowToTheView)
{
    // A view acts on scan codes 72/75/77/80/83 only when the virtual key is 50 or less:
    // no typing key may land there.
    const int keys[] = {Qt::Key_0, Qt::Key_1, Qt::Key_9, Qt::Key_Period, Qt::Key_Space, Qt::Key_Bar,
                        Qt::Key_Minus, Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Tab};
    for (int key : keys) {
        const CKeyTranslation t = TranslateKey(key, kNone, QString());
        const bool bArrowScan = t.nScanCode == 72 || t.nScanCode == 75 || t.nScanCode == 77 ||
                                t.nScanCode == 80 || t.nScanCode == 83;
        EXPECT_FALSE(bArrowScan && t.nVirtKey <= 50) << key;
    }
}

TEST(KeyTranslation, AltCombinationsAndF10BelongToTheMenus)
{
    EXPECT_FALSE(TranslateKey(Qt::Key_F, Qt::AltModifier, "f").bKeyDown);
    EXPECT_FALSE(TranslateKey(Qt::Key_Backspace, Qt::AltModifier, "").bKeyDown);
    EXPECT_FALSE(TranslateKey(Qt::Key_F10, kNone, "").bKeyDown);
    const CKeyTranslation f6 = TranslateKey(Qt::Key_F6, kNone, "");
    EXPECT_TRUE(f6.bKeyDown);
    EXPECT_EQ(f6.nVirtKey, 117u);
    EXPECT_EQ(f6.nScanCode, 64u);
    EXPECT_EQ(TranslateKey(Qt::Key_F12, kNone, "").nScanCode, 88u);
}
