#include "framework/DialogLabels.h"

namespace {

// Further above a field than this, a text is a heading of the dialog, not the field's label.
constexpr int MAX_GAP_ABOVE = 8;

bool OnLineBefore(const CRect& label, const CRect& field)
{
    const int yMiddle = (label.top + label.bottom) / 2;
    return yMiddle >= field.top && yMiddle < field.bottom && label.right <= field.left;
}

bool JustAbove(const CRect& label, const CRect& field)
{
    return label.bottom <= field.top && field.top - label.bottom <= MAX_GAP_ABOVE && label.left < field.right &&
           label.right > field.left;
}

} // namespace

std::vector<int> AfxFindFieldLabels(const std::vector<CLabelledControl>& controls)
{
    std::vector<int> labels(controls.size(), -1);
    for (size_t f = 0; f < controls.size(); ++f) {
        if (controls[f].kind != CLabelledControl::Kind::Field)
            continue;
        const CRect& field = controls[f].rc;
        int nBefore = -1;
        int nAbove = -1;
        for (size_t l = 0; l < controls.size(); ++l) {
            if (controls[l].kind != CLabelledControl::Kind::Label)
                continue;
            const CRect& label = controls[l].rc;
            if (OnLineBefore(label, field) && (nBefore < 0 || label.right > controls[nBefore].rc.right))
                nBefore = static_cast<int>(l);
            if (JustAbove(label, field) && (nAbove < 0 || label.bottom > controls[nAbove].rc.bottom))
                nAbove = static_cast<int>(l);
        }
        labels[f] = nBefore >= 0 ? nBefore : nAbove;
    }
    return labels;
}

std::string AfxSpokenLabel(std::string_view text)
{
    std::string spoken;
    size_t i = 0;
    while (i < text.size() && text[i] == '\t')
        ++i;
    for (; i < text.size(); ++i) {
        if (text[i] != '\t') {
            spoken += text[i];
            continue;
        }
        while (i + 1 < text.size() && text[i + 1] == '\t')
            ++i;
        if (i + 1 < text.size())
            spoken += ": ";
    }
    return spoken;
}
