#pragma once
// Errors of a program started from a file manager, where nobody reads standard error:
// shown as a desktop notification as well.
#include <string>

// Whether an error should also be shown on the desktop: standard error is no terminal
// and a graphical session with a session bus is there.
bool AfxShouldNotifyDesktop();
// Shows a notification through notify-send, waiting at most a few seconds for it (the
// body as the desktop shows text: UTF-8, markup characters escaped); false
// when it could not be shown.
bool AfxNotifyDesktop(const std::string& summary, const std::string& body);
