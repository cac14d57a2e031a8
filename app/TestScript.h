#pragma once
// A script for end-to-end tests, read from the environment and never set in normal use:
//   FRETLY_TEST_ANSWERS="yes,no"  message boxes take these answers in turn (then their
//                                 default), modal dialogs are cancelled unseen;
//   FRETLY_TEST_KEYS="757"        typed into the editing view once start-up is over.
// Either one also reports on stderr, in lines beginning "fretly-test: ", each message
// box, each dialog, the main window's caption and modified state when start-up is over
// ("ready"), and the end of the typing ("typed").
#include <memory>

class CMainFrame;
class CQtUserInterface;

// Whether a script is set in the environment.
bool AfxHasTestScript();
// The user interface that answers and reports as the script says.
std::unique_ptr<CQtUserInterface> AfxMakeScriptedUserInterface();
// Reports "ready" and types the script's keys, from the event loop (no script: nothing).
void AfxRunTestScript(CMainFrame* pFrame);
