#pragma once
// A user interface for headless tests: records every message box, dialog and beep,
// and answers as the test scripted (otherwise with the default button / Cancel).
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "framework/UserInterface.h"

struct ShownMessage {
    std::string text;
    std::string caption;
    UINT nType;
};

// Controls of a dialog kept in maps, as a test can read and type into them.
class MapDialogControls : public CDialogControls {
public:
    std::string GetControlText(int nID) const override
    {
        auto it = texts.find(nID);
        return it == texts.end() ? std::string() : it->second;
    }
    void SetControlText(int nID, const std::string& text) override { texts[nID] = text; }
    int GetCheck(int nID) const override
    {
        auto it = checks.find(nID);
        return it == checks.end() ? 0 : it->second;
    }
    void SetCheck(int nID, int nCheck) override { checks[nID] = nCheck; }

    std::map<int, std::string> texts;
    std::map<int, int> checks;
};

class ScriptedUserInterface : public CUserInterface {
public:
    // What the "user" does in a dialog: edit the controls, then return IDOK or IDCANCEL.
    using DialogScript = std::function<int(CDialog&, MapDialogControls&)>;

    ScriptedUserInterface() { AfxSetUserInterface(this); }
    ~ScriptedUserInterface() override { AfxSetUserInterface(nullptr); }

    int MessageBox(const std::string& text, const std::string& caption, UINT nType) override
    {
        messages.push_back({text, caption, nType});
        if (!messageAnswers.empty()) {
            int answer = messageAnswers.front();
            messageAnswers.pop_front();
            return answer;
        }
        return AfxDefaultButton(nType);
    }

    int RunModal(CDialog& dlg) override
    {
        dialogs.push_back(dlg.GetTemplateID());
        MapDialogControls controls;
        dlg.AttachControls(&controls);
        dlg.OnInitDialog();
        lastControls = controls;
        int result = IDCANCEL;
        if (!dialogScripts.empty()) {
            DialogScript script = dialogScripts.front();
            dialogScripts.pop_front();
            result = script(dlg, controls);
        }
        if (result == IDOK)
            dlg.OnOK();
        else
            dlg.OnCancel();
        dlg.AttachControls(nullptr);
        return dlg.GetModalResult();
    }

    void Beep() override { ++beeps; }

    bool GetFileName(const CFileDialogRequest& request, std::string& path) override
    {
        fileRequests.push_back(request);
        if (fileAnswers.empty())
            return false;
        path = fileAnswers.front();
        fileAnswers.pop_front();
        return !path.empty();
    }

    std::vector<ShownMessage> messages;
    std::deque<int> messageAnswers;
    std::vector<UINT> dialogs;           // template IDs, in the order run
    std::deque<DialogScript> dialogScripts;
    MapDialogControls lastControls;      // controls as the last dialog opened
    std::vector<CFileDialogRequest> fileRequests;
    std::deque<std::string> fileAnswers; // an empty answer cancels
    int beeps = 0;
};
