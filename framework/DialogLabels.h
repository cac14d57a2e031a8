#pragma once
// What a screen reader says for the controls of a dialog made from a template: a field is
// named by the static text that labels it, and a static text laid out in columns with tab
// characters is read with its columns joined in words.
#include <string>
#include <string_view>
#include <vector>

#include "framework/Types.h"

struct CLabelledControl {
    enum class Kind { Label, Field, Other };
    Kind kind;
    CRect rc;   // in the template's units
};

// For each control, the index of the label that names it, or -1: a label on the field's
// line to its left (the nearest), else one just above it and over it (the nearest).
std::vector<int> AfxFindFieldLabels(const std::vector<CLabelledControl>& controls);

// "h\tHammer On" reads "h: Hammer On"; a leading tab (a continued line) is dropped.
std::string AfxSpokenLabel(std::string_view text);
