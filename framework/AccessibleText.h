#pragma once
// What assistive technology (a screen reader) is told about a view that shows text: the
// text as lines, the caret, words that say where the caret is, and the changes. A view
// that has such text makes one on request (CView::GetAccessibleText); the toolkit half
// presents it and forwards the events. Offsets count cells: one byte of the view's text is
// one character for the reader, so offsets and columns stay in step.
#include <string>
#include <string_view>

#include "framework/Types.h"

// Told of every change, in the order the reader must learn of them. The toolkit half
// implements it; tests record it.
class CAccessibleTextSink {
public:
    virtual ~CAccessibleTextSink() = default;
    // The bytes removed at nPos were replaced by the bytes inserted (either may be empty).
    virtual void OnTextChanged(long long nPos, std::string_view removed, std::string_view inserted) = 0;
    virtual void OnCaretMoved(long long nOffset) = 0;
    // The value (GetValue) changed.
    virtual void OnValueChanged() = 0;
    // The description (the words for the caret's place) is to be said: it changed, or the
    // same words are repeated because a move was refused.
    virtual void OnDescriptionChanged() = 0;
};

class CAccessibleText {
public:
    virtual ~CAccessibleText() = default;

    void SetSink(CAccessibleTextSink* pSink) { m_pSink = pSink; }
    CAccessibleTextSink* GetSink() const { return m_pSink; }

    virtual std::string GetName() const = 0;
    // Words for where the caret is and what is under it.
    virtual std::string GetDescription() const = 0;

    // Characters in the whole text; never built to be counted.
    virtual long long GetLength() const = 0;
    // Appends characters [nStart, nEnd) (clamped to the text) to out.
    virtual void GetText(long long nStart, long long nEnd, std::string& out) const = 0;
    // The line holding nOffset, [nStart, nEnd), its line end included.
    virtual void GetLineAt(long long nOffset, long long& nStart, long long& nEnd) const = 0;
    // The word holding nOffset: a run of cells of one kind (marks or filler).
    virtual void GetWordAt(long long nOffset, long long& nStart, long long& nEnd) const = 0;

    virtual long long GetCaret() const = 0;
    // Puts the caret on the cell nearest nOffset that it may stand on.
    virtual void SetCaret(long long nOffset) = 0;
    // Cell of nOffset in client coordinates, and the offset of the cell at a client point.
    virtual CRect GetCharRect(long long nOffset) const = 0;
    virtual long long GetOffsetAt(CPoint pt) const = 0;
    // Brings the cells [nStart, nEnd) into sight.
    virtual void ScrollTo(long long nStart, long long nEnd) = 0;

    // A number that follows the caret's coarse place, with its range.
    virtual int GetValue() const = 0;
    virtual int GetMinimumValue() const = 0;
    virtual int GetMaximumValue() const = 0;
    virtual void SetValue(int nValue) = 0;

private:
    CAccessibleTextSink* m_pSink = nullptr;
};
