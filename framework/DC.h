#pragma once
// Device contexts and fonts. A CDC keeps the drawing state (font, colours, background
// mode, viewport origin); a platform or a test supplies the primitives in device
// coordinates.
#include <string>
#include <string_view>

#include "framework/Types.h"

class CDC;

// Device capabilities.
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Mapping modes (only text mode is used).
constexpr int MM_TEXT = 1;

// A font description: point size in tenths of a point and a face name. The device
// context that selects it turns it into a real font of its own resolution.
class CFont {
public:
    CFont() = default;
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
    virtual ~CFont() = default;

    // Makes a font of nPointSize tenths of a point. pDC names the device whose units the
    // size is meant for (none: the screen). Fails when font creation is refused.
    bool CreatePointFont(int nPointSize, const std::string& faceName, CDC* pDC = nullptr);

    bool IsCreated() const { return m_bCreated; }
    int GetPointSize() const { return m_nPointSize; }
    const std::string& GetFaceName() const { return m_strFaceName; }

    // Test hook: makes every CreatePointFont from now on fail (true) or work (false).
    static void SetFailCreation(bool bFail);

private:
    bool m_bCreated = false;
    int m_nPointSize = 0;
    std::string m_strFaceName;
};

class CDC {
public:
    virtual ~CDC() = default;

    // Selects a font; returns the previously selected one (may be null).
    CFont* SelectObject(CFont* pFont);
    CFont* GetCurrentFont() const { return m_pFont; }

    bool TextOut(int x, int y, std::string_view text);
    bool TextOut(int x, int y, const char* text, int nCount)
    {
        return TextOut(x, y, std::string_view(text, nCount > 0 ? static_cast<std::size_t>(nCount) : 0));
    }
    CSize GetTextExtent(std::string_view text) const { return MeasureText(text); }

    COLORREF SetTextColor(COLORREF c);
    COLORREF GetTextColor() const { return m_crText; }
    COLORREF SetBkColor(COLORREF c);
    COLORREF GetBkColor() const { return m_crBk; }
    int SetBkMode(int nMode);
    int GetBkMode() const { return m_nBkMode; }

    // Logical to device offset: device = logical - origin's negation (as SetViewportOrg).
    CPoint SetViewportOrg(CPoint pt);
    CPoint GetViewportOrg() const { return m_ptViewportOrg; }
    int SetMapMode(int nMode);

    // True when any part of the logical rectangle lies inside the area being painted.
    bool RectVisible(const CRect& rect) const;
    // The area being painted, in logical units (so a view can find what to draw
    // without testing everything it could draw).
    CRect GetClipRect() const;

    virtual int GetDeviceCaps(int nIndex) const = 0;
    virtual bool IsPrinting() const { return false; }

protected:
    // Primitives in device coordinates, using the current state.
    virtual void DrawText(int x, int y, std::string_view text) = 0;
    virtual CSize MeasureText(std::string_view text) const = 0;
    // The device area being painted; drawing outside it is clipped.
    virtual CRect GetClipBox() const = 0;
    // Called when a font is selected, so the device can realise it.
    virtual void OnFontSelected(CFont*) {}

private:
    CFont* m_pFont = nullptr;
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crBk = RGB(255, 255, 255);
    int m_nBkMode = OPAQUE;
    CPoint m_ptViewportOrg;
    int m_nMapMode = MM_TEXT;
};
