// Which static text names which field of a dialog for a screen reader, and how a text in
// tab-separated columns is read.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "framework/DialogLabels.h"
#include "resources/DialogTemplates.h"
#include "resources/Resource.h"

namespace {

using Kind = CLabelledControl::Kind;

std::vector<CLabelledControl> FromTemplate(const DlgTemplate& tmpl)
{
    std::vector<CLabelledControl> controls;
    for (const DlgControlTemplate& ctl : tmpl.controls) {
        Kind kind = Kind::Other;
        if (ctl.kind == DlgControlKind::Static)
            kind = Kind::Label;
        else if (ctl.kind == DlgControlKind::Edit || ctl.kind == DlgControlKind::EditMultiline)
            kind = Kind::Field;
        controls.push_back({kind, CRect(ctl.x, ctl.y, ctl.x + ctl.cx, ctl.y + ctl.cy)});
    }
    return controls;
}

TEST(DialogLabelsTest, EveryFileInformationFieldIsNamedByItsOwnLabel)
{
    const DlgTemplate& tmpl = *FindDialogTemplate(IDD_FILEINFO);
    const std::vector<int> labels = AfxFindFieldLabels(FromTemplate(tmpl));
    std::map<int, std::string> names;
    for (size_t i = 0; i < tmpl.controls.size(); ++i) {
        if (labels[i] >= 0)
            names[tmpl.controls[i].nID] = tmpl.controls[labels[i]].text;
    }
    EXPECT_EQ(names[IDC_ARTIST], "Artist/Author:");
    EXPECT_EQ(names[IDC_SONGTITLE], "Title:");
    EXPECT_EQ(names[IDC_ALBUM], "Album:");
    EXPECT_EQ(names[IDC_TRANSCRIBER], "Transcribed by:");
    EXPECT_EQ(names[IDC_EMAIL], "Email Address:");
    EXPECT_EQ(names[IDC_COMMENTS], "Comments:");   // the label above the box
    EXPECT_EQ(names.size(), 6u);                    // buttons and the check box name themselves
}

TEST(DialogLabelsTest, ANearerLabelWinsAndADistantHeadingLabelsNothing)
{
    const std::vector<CLabelledControl> controls = {
        {Kind::Label, CRect(0, 0, 100, 8)},      // a heading far above
        {Kind::Label, CRect(0, 30, 20, 38)},     // left, on the line
        {Kind::Label, CRect(25, 30, 45, 38)},    // nearer, on the line
        {Kind::Field, CRect(50, 28, 150, 42)},
        {Kind::Field, CRect(0, 60, 100, 74)},    // nothing close above or before
    };
    const std::vector<int> labels = AfxFindFieldLabels(controls);
    EXPECT_EQ(labels[3], 2);
    EXPECT_EQ(labels[4], -1);
    EXPECT_EQ(labels[0], -1);
}

TEST(DialogLabelsTest, TabbedColumnsAreReadAsWords)
{
    EXPECT_EQ(AfxSpokenLabel("h\tHammer On"), "h: Hammer On");
    EXPECT_EQ(AfxSpokenLabel("\twithout shifting to the right"), "without shifting to the right");
    EXPECT_EQ(AfxSpokenLabel("(Pipe)\t\tInsert Vertical Bar"), "(Pipe): Insert Vertical Bar");
    EXPECT_EQ(AfxSpokenLabel("Plain text"), "Plain text");
    EXPECT_EQ(AfxSpokenLabel("trailing\t"), "trailing");
}

} // namespace
