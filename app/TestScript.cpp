#include "app/TestScript.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

#include "app/MainFrame.h"
#include "framework/Dialog.h"
#include "framework/Document.h"
#include "framework/qt/QtUserInterface.h"
#include "framework/qt/ScrollViewHost.h"

namespace {

const char* ResultName(int nResult)
{
    switch (nResult) {
    case IDYES: return "Yes";
    case IDNO: return "No";
    case IDCANCEL: return "Cancel";
    default: return "OK";
    }
}

class CScriptedUserInterface : public CQtUserInterface {
public:
    CScriptedUserInterface()
    {
        const char* answers = std::getenv("FRETLY_TEST_ANSWERS");
        std::string list = answers != nullptr ? answers : "";
        std::size_t pos = 0;
        while (pos <= list.size() && !list.empty()) {
            const std::size_t comma = std::min(list.find(',', pos), list.size());
            m_answers.push_back(list.substr(pos, comma - pos));
            pos = comma + 1;
        }
    }

    int MessageBox(const std::string& text, const std::string&, UINT nType) override
    {
        int nResult = AfxDefaultButton(nType);
        if (!m_answers.empty()) {
            const std::string a = m_answers.front();
            m_answers.pop_front();
            nResult = a == "yes" ? IDYES : a == "no" ? IDNO : a == "cancel" ? IDCANCEL : IDOK;
        }
        std::string oneLine = text;
        for (char& c : oneLine) {
            if (c == '\n' || c == '\r')
                c = ' ';
        }
        std::fprintf(stderr, "fretly-test: message: %s -> %s\n", oneLine.c_str(), ResultName(nResult));
        std::fflush(stderr);
        return nResult;
    }

    int RunModal(CDialog& dlg) override
    {
        std::fprintf(stderr, "fretly-test: dialog %u -> Cancel\n", dlg.GetTemplateID());
        std::fflush(stderr);
        return IDCANCEL;
    }

private:
    std::deque<std::string> m_answers;
};

void TypeKeys(CMainFrame* pFrame, const std::string& keys)
{
    QWidget* pTarget = pFrame->GetViewHost();
    for (char c : keys) {
        const int nKey = std::toupper(static_cast<unsigned char>(c));
        const QString text(QChar::fromLatin1(c));
        QKeyEvent press(QEvent::KeyPress, nKey, Qt::NoModifier, text);
        QCoreApplication::sendEvent(pTarget, &press);
        QKeyEvent release(QEvent::KeyRelease, nKey, Qt::NoModifier, text);
        QCoreApplication::sendEvent(pTarget, &release);
    }
    CDocument* pDoc = pFrame->GetActiveDocument();
    std::fprintf(stderr, "fretly-test: typed %zu modified=%d\n", keys.size(),
                 pDoc != nullptr && pDoc->IsModified() ? 1 : 0);
    std::fflush(stderr);
}

} // namespace

bool AfxHasTestScript()
{
    return std::getenv("FRETLY_TEST_ANSWERS") != nullptr || std::getenv("FRETLY_TEST_KEYS") != nullptr;
}

std::unique_ptr<CQtUserInterface> AfxMakeScriptedUserInterface() { return std::make_unique<CScriptedUserInterface>(); }

void AfxRunTestScript(CMainFrame* pFrame)
{
    if (!AfxHasTestScript() || pFrame == nullptr)
        return;
    QTimer::singleShot(0, pFrame, [pFrame] {
        CDocument* pDoc = pFrame->GetActiveDocument();
        std::fprintf(stderr, "fretly-test: ready title=%s modified=%d\n",
                     pFrame->windowTitle().toLocal8Bit().constData(), pDoc != nullptr && pDoc->IsModified() ? 1 : 0);
        std::fflush(stderr);
        if (const char* keys = std::getenv("FRETLY_TEST_KEYS"))
            TypeKeys(pFrame, keys);
    });
}
