#pragma once
// Virtual-key codes: what OnKeyDown receives as its first argument and what the
// accelerator tables name.
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
