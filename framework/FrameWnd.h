#pragma once
// The frame window's toolkit-free half: the active view and document, command routing
// (view, document, template, frame, application), the caption, closing and dropped files.
// The Qt main window derives from it and supplies the window itself.
#include <string>
#include <vector>

#include "framework/CmdTarget.h"

class CDocument;
class CView;

class CFrameWnd : public CCmdTarget {
public:
    CFrameWnd() = default;
    ~CFrameWnd() override = default;

    // Attaches the view and its document and creates the window (OnCreate); false when
    // OnCreate fails.
    virtual bool LoadFrame(UINT nIDResource, CDocument* pDoc, CView* pView);
    // Window creation; -1 makes the frame's creation fail.
    virtual int OnCreate();

    CView* GetActiveView() const { return m_pActiveView; }
    void SetActiveView(CView* pView) { m_pActiveView = pView; }
    CDocument* GetActiveDocument() const;
    CFrameWnd* GetTopLevelFrame() { return this; }

    // Offers the command to the view, its document, the document template, this frame
    // and the application, and runs the first handler found.
    bool OnCmdMsg(UINT nID) override;
    // True when the routing would find a handler (menu items and buttons).
    bool IsCommandRouted(UINT nID) const;

    // "Untitled - Fretly": the document's title, " - ", the application title.
    std::string GetTitleText() const;
    virtual void OnUpdateFrameTitle();

    // Shows the frame and gives the views their first update.
    virtual void InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible);

    // The user wants the window closed (close box, Exit, session end): asks to save a
    // modified document; true when the window may go.
    virtual bool CanCloseFrame();
    // Close request (Exit): closes the window when CanCloseFrame agrees. The toolkit's
    // frame routes this through its own close event.
    virtual void OnClose();
    // The files dropped on the frame, opened in turn through the application.
    void OnDropFiles(const std::vector<std::string>& paths);

    // The status bar's message pane: the first line of a command's prompt, or "Ready".
    static std::string GetMessageString(UINT nID);

    // Window services the toolkit provides.
    virtual void SetWindowText(const std::string& text) { m_strWindowText = text; }
    const std::string& GetWindowText() const { return m_strWindowText; }
    virtual void ShowWindow(bool bShow) { m_bVisible = bShow; }
    virtual bool IsWindowVisible() const { return m_bVisible; }
    virtual void ActivateFrame() {}
    virtual void DestroyWindow() {}

    bool m_bAddToTitle = true;   // FWS_ADDTOTITLE
    std::string m_strTitle;      // the application title of the caption

protected:
    UINT m_nIDHelp = 0;

private:
    CView* m_pActiveView = nullptr;
    CDocument* m_pActiveDoc = nullptr;
    std::string m_strWindowText;
    bool m_bVisible = false;
};
