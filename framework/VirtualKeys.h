#pragma once
// Virtual-key codes: what OnKeyDown receives as its first argument and what the
// accelerator tables name; and the PC keyboard scan codes that OnKeyDown's flags carry
// in their low byte.
#include "framework/Types.h"

constexpr UINT VK_BACK = 8;
constexpr UINT VK_TAB = 9;
constexpr UINT VK_CLEAR = 12;
constexpr UINT VK_RETURN = 13;
constexpr UINT VK_SHIFT = 16;
constexpr UINT VK_CONTROL = 17;
constexpr UINT VK_MENU = 18;
constexpr UINT VK_PAUSE = 19;
constexpr UINT VK_CAPITAL = 20;
constexpr UINT VK_ESCAPE = 27;
constexpr UINT VK_SPACE = 32;
constexpr UINT VK_PRIOR = 33;
constexpr UINT VK_NEXT = 34;
constexpr UINT VK_END = 35;
constexpr UINT VK_HOME = 36;
constexpr UINT VK_LEFT = 37;
constexpr UINT VK_UP = 38;
constexpr UINT VK_RIGHT = 39;
constexpr UINT VK_DOWN = 40;
constexpr UINT VK_INSERT = 45;
constexpr UINT VK_DELETE = 46;
constexpr UINT VK_NUMPAD0 = 96;
constexpr UINT VK_MULTIPLY = 106;
constexpr UINT VK_ADD = 107;
constexpr UINT VK_SUBTRACT = 109;
constexpr UINT VK_DECIMAL = 110;
constexpr UINT VK_DIVIDE = 111;
constexpr UINT VK_F1 = 112;
constexpr UINT VK_F6 = 117;
constexpr UINT VK_NUMLOCK = 144;
constexpr UINT VK_SCROLL = 145;
// Punctuation keys of a US keyboard.
constexpr UINT VK_OEM_1 = 186;       // ; :
constexpr UINT VK_OEM_PLUS = 187;    // = +
constexpr UINT VK_OEM_COMMA = 188;   // , <
constexpr UINT VK_OEM_MINUS = 189;   // - _
constexpr UINT VK_OEM_PERIOD = 190;  // . >
constexpr UINT VK_OEM_2 = 191;       // / ?
constexpr UINT VK_OEM_3 = 192;       // ` ~
constexpr UINT VK_OEM_4 = 219;       // [ {
constexpr UINT VK_OEM_5 = 220;       // \ |
constexpr UINT VK_OEM_6 = 221;       // ] }
constexpr UINT VK_OEM_7 = 222;       // ' "

// Scan codes of the keys that have one meaning on every PC keyboard; the keypad shares
// the arrow block's (keypad 8 is SCAN_UP whether Num Lock is on or off).
constexpr UINT SCAN_ESCAPE = 1;
constexpr UINT SCAN_BACK = 14;
constexpr UINT SCAN_TAB = 15;
constexpr UINT SCAN_RETURN = 28;
constexpr UINT SCAN_CONTROL = 29;
constexpr UINT SCAN_SHIFT = 42;
constexpr UINT SCAN_MENU = 56;
constexpr UINT SCAN_SPACE = 57;
constexpr UINT SCAN_CAPITAL = 58;
constexpr UINT SCAN_F1 = 59;          // F1-F10 follow in turn
constexpr UINT SCAN_NUMLOCK = 69;     // Pause shares it
constexpr UINT SCAN_SCROLL = 70;
constexpr UINT SCAN_HOME = 71;
constexpr UINT SCAN_UP = 72;
constexpr UINT SCAN_PRIOR = 73;
constexpr UINT SCAN_LEFT = 75;
constexpr UINT SCAN_CLEAR = 76;       // keypad 5
constexpr UINT SCAN_RIGHT = 77;
constexpr UINT SCAN_END = 79;
constexpr UINT SCAN_DOWN = 80;
constexpr UINT SCAN_NEXT = 81;
constexpr UINT SCAN_INSERT = 82;
constexpr UINT SCAN_DELETE = 83;
constexpr UINT SCAN_F11 = 87;         // F11, F12
