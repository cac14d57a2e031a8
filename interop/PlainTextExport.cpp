#include "interop/PlainTextExport.h"

#include <string_view>

#include "document/FretlyDoc.h"
#include "document/Staff.h"

namespace {

// A header value on one line: a line break in it would start a line of its own.
void AppendField(std::string& out, std::string_view label, std::string_view value)
{
    if (value.empty())
        return;
    out += label;
    for (char ch : value)
        out += ch == '\r' || ch == '\n' ? ' ' : ch;
    out += '\n';
}

// The comments with LF line ends; a lone CR ends a line too.
void AppendComments(std::string& out, std::string_view comments)
{
    for (std::size_t i = 0; i < comments.size(); ++i) {
        if (comments[i] == '\r') {
            out += '\n';
            if (i + 1 < comments.size() && comments[i + 1] == '\n')
                ++i;
        } else {
            out += comments[i];
        }
    }
    if (!comments.empty() && out.back() != '\n')
        out += '\n';
}

} // namespace

bool ExportPlainText(const CFretlyDoc& doc, std::string& strOut)
{
    static constexpr char kNames[STRING_ROWS] = {'e', 'B', 'G', 'D', 'A', 'E'};
    std::string out;
    AppendField(out, "Title: ", doc.m_strSongTitle);
    AppendField(out, "Artist: ", doc.m_strArtist);
    AppendField(out, "Album: ", doc.m_strAlbum);
    AppendField(out, "Tabbed by: ", doc.m_strTranscriber);
    AppendField(out, "Email: ", doc.m_strEmail);
    if (!out.empty())
        out += '\n';
    if (!doc.m_strComments.empty()) {
        AppendComments(out, doc.m_strComments);
        out += '\n';
    }
    out.reserve(out.size() + static_cast<std::size_t>(doc.m_nStaffs) * 8 * (STAFF_COLUMNS + 4));
    for (int s = 0; s < doc.m_nStaffs; ++s) {
        const CStaff& staff = *doc.m_ppStaffs[s];
        // The text row stands over the music (two blanks for the string names), so its
        // chord names keep their columns.
        std::string_view text(staff.m_rows[TEXT_ROW] + FIRST_MUSIC_COLUMN, LAST_MUSIC_COLUMN);
        const std::size_t nEnd = text.find_last_not_of(' ');
        if (nEnd != std::string_view::npos) {
            out += "  ";
            for (char ch : text.substr(0, nEnd + 1))
                out += ch == '\0' ? ' ' : ch;
            out += '\n';
        }
        // Columns 1-77: the edge column after the music keeps a bar at column 76 from
        // being taken for the frame.
        for (int r = 0; r < STRING_ROWS; ++r) {
            out += kNames[r];
            out += '|';
            for (int c = FIRST_MUSIC_COLUMN; c < STAFF_COLUMNS; ++c) {
                const char ch = staff.m_rows[r][c];
                out += ch == '\0' ? '-' : ch;
            }
            out += "|\n";
        }
        out += '\n';
    }
    strOut = std::move(out);
    return true;
}
