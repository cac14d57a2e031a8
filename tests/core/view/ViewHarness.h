#pragma once
// A document and its editing view in a fake window, driven the way a user drives them:
// keys, characters, clicks and commands, each followed by the repaint the window would do.
#include <memory>
#include <string>
#include <string_view>

#include "document/FretlyDoc.h"
#include "support/FakeViewHost.h"
#include "support/RecordingDC.h"
#include "support/ScriptedUserInterface.h"
#include "view/FretlyView.h"

// Virtual-key codes and scan codes of the keys the view acts on.
constexpr UINT VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40, VK_DELETE = 46;
constexpr UINT VK_NUMPAD2 = 98, VK_NUMPAD4 = 100, VK_NUMPAD6 = 102, VK_NUMPAD8 = 104, VK_DECIMAL = 110;
constexpr UINT SC_UP = 72, SC_LEFT = 75, SC_RIGHT = 77, SC_DOWN = 80, SC_DELETE = 83;

class ViewHarness {
public:
    explicit ViewHarness(int nStaffs = 1, CRect client = CRect(0, 0, 800, 600), CSize cell = CSize(8, 16))
        : host(client, cell)
    {
        doc.AddView(&view);
        view.SetHost(&host);
        view.OnCreate();
        doc.OnNewDocument();
        for (int i = 1; i < nStaffs; ++i)
            doc.InsertStaff(i - 1);
        doc.SetModifiedFlag(false);
        doc.m_bStaffCountChanged = false;
        view.OnInitialUpdate();
        Paint();
    }

    // What the window does when it was invalidated: prepare the DC for the scroll
    // position and let the view paint the client area.
    RecordingDC& Paint() { return PaintArea(host.client); }
    RecordingDC& PaintArea(CRect area)
    {
        lastPaint = std::make_unique<RecordingDC>(host.cell, area);
        view.OnPrepareDC(lastPaint.get());
        view.OnDraw(lastPaint.get());
        paintedAt = host.invalidations;
        return *lastPaint;
    }
    void PaintIfInvalid()
    {
        if (host.invalidations != paintedAt)
            Paint();
    }

    void Type(std::string_view text)
    {
        for (char ch : text) {
            view.OnChar(static_cast<unsigned char>(ch), 1, 0);
            PaintIfInvalid();
        }
    }
    void Char(UINT nChar)
    {
        view.OnChar(nChar, 1, 0);
        PaintIfInvalid();
    }
    void Key(UINT vk, UINT scan)
    {
        view.OnKeyDown(vk, 1, scan);
        PaintIfInvalid();
    }
    void Up(int n = 1) { for (int i = 0; i < n; ++i) Key(VK_UP, SC_UP); }
    void Down(int n = 1) { for (int i = 0; i < n; ++i) Key(VK_DOWN, SC_DOWN); }
    void Left(int n = 1) { for (int i = 0; i < n; ++i) Key(VK_LEFT, SC_LEFT); }
    void Right(int n = 1) { for (int i = 0; i < n; ++i) Key(VK_RIGHT, SC_RIGHT); }
    void Delete() { Key(VK_DELETE, SC_DELETE); }
    void Enter() { Char(13); }
    void Backspace() { Char(8); }

    // A click at client coordinates.
    void Click(int x, int y)
    {
        view.OnLButtonDown(0, CPoint(x, y));
        view.OnLButtonUp(0, CPoint(x, y));
        PaintIfInvalid();
    }
    // A click in the middle of a cell, wherever the view is scrolled to.
    void ClickCell(int staff, int row, int col)
    {
        const CSize c = host.cell;
        const CPoint pos = view.GetScrollPosition();
        Click(8 + col * c.cx + c.cx / 2 - pos.x, 8 + (8 * staff + row) * c.cy + c.cy / 2 - pos.y);
    }
    bool Command(UINT nID)
    {
        bool bHandled = view.OnCmdMsg(nID);
        PaintIfInvalid();
        return bHandled;
    }

    std::string Row(int staff, int row) const { return std::string(doc.m_ppStaffs[staff]->m_rows[row]); }
    // Puts text into a staff directly, as a loaded file would have it.
    void Put(int staff, int row, int col, std::string_view text)
    {
        for (char ch : text)
            doc.m_ppStaffs[staff]->m_rows[row][col++] = ch;
    }
    const TextOutCall& CursorCall() const { return lastPaint->calls.back(); }
    int Staff() const { return view.m_nCurStaff; }
    int RowIdx() const { return view.m_nCurRow; }
    int Col() const { return view.m_nCurCol; }

    ScriptedUserInterface ui;
    CFretlyDoc doc;
    FakeViewHost host;
    CFretlyView view;
    std::unique_ptr<RecordingDC> lastPaint;
    int paintedAt = -1;
};
