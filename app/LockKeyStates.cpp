#include "app/LockKeyStates.h"

#include <QGuiApplication>

#ifdef FRETLY_HAVE_X11
#include <QtGui/qguiapplication_platform.h>
// X11 after Qt: its macros would clash with Qt's names.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

CLockKeyStates QueryLockKeyStates()
{
    CLockKeyStates states;
#if defined(FRETLY_HAVE_X11) && QT_CONFIG(xcb)
    auto* pX11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (pX11 == nullptr || pX11->display() == nullptr)
        return states;
    Display* pDisplay = pX11->display();
    auto named = [pDisplay](const char* name, bool& bOn) {
        Atom atom = XInternAtom(pDisplay, name, True);
        int on = 0;
        if (atom == 0 || !XkbGetNamedIndicator(pDisplay, atom, nullptr, &on, nullptr, nullptr))
            return false;
        bOn = on != 0;
        return true;
    };
    const bool bCaps = named("Caps Lock", states.bCaps);
    const bool bNum = named("Num Lock", states.bNum);
    named("Scroll Lock", states.bScroll);
    states.bKnown = bCaps || bNum;
#endif
    return states;
}
