#pragma once
// Reading tablature as guitarists keep it in plain text (web pages, mails, notes) into
// a document: systems of string lines, with or without string names and frame bars,
// the chord line above a system, labelled header lines, and every other line of text
// kept as comments so that nothing of the file is lost.
//
// The input is untrusted bytes of any size: one pass over the lines, each line looked
// at a bounded number of times, memory a small multiple of the input.
#include <string>
#include <string_view>
#include <vector>

class CFretlyDoc;

struct CPlainTextImport {
    int nSystems = 0;            // systems turned into staffs
    int nStaffs = 0;             // staffs made from them
    int nBassSystems = 0;        // of which four- or five-string systems
    // Systems of more than six strings, kept verbatim in the comments: the user is told.
    struct CWideSystem {
        int nFirstLine;          // 1-based line numbers in the text
        int nLastLine;
        int nStrings;
    };
    std::vector<CWideSystem> wideSystems;
};

// Fills doc's staffs, header fields and comments from text. Returns false, leaving doc
// as it was, when the text holds no system of strings at all. doc's other state (its
// path, flags, views) is not touched.
bool ImportPlainText(std::string_view text, CFretlyDoc& doc, CPlainTextImport& report);
