#pragma once
// The lock keys' states for the status-bar indicators.

struct CLockKeyStates {
    bool bKnown = false;   // false where the platform cannot tell (offscreen, Wayland)
    bool bCaps = false;
    bool bNum = false;
    bool bScroll = false;
};

// Reads the keyboard LEDs through XKB when running on X11.
CLockKeyStates QueryLockKeyStates();
