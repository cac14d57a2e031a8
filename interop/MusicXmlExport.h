#pragma once
// A song as MusicXML 4.0 (partwise): one guitar part on a tablature staff (TAB clef, one
// staff line per string with its tuning, the capo), read through the note model.
//
// Every staff of the document starts a new system; its measures are those of the note
// model (bar lines and the staff's end), each with the time signature its length makes
// (written where it changes: 16 sixteenths are 4/4, 6 are 3/8, 5 are 5/16). One column is
// one division. A note whose length is no single note value is written as tied notes.
// Every note carries its string and fret; the techniques become the matching notations:
// hammer-on and pull-off (with a slur), slide, bend and release, vibrato (a wavy line),
// trill, tap, natural harmonic, dead note (an x notehead), ghost note (a parenthesised
// notehead), slides into and out of a note (scoop, plop, doit, falloff). Words of the text
// row that read as chord names become harmony elements, other words text directions, both
// at their column's place in the measure. The header fields go to work-title,
// movement-title, creators (artist as composer, transcriber), source (album) and
// miscellaneous fields (album, e-mail, comments).
//
// Written staff by staff to the sink, in constant memory whatever the song's length.
class CFretlyDoc;
class CExportSink;

void AfxExportMusicXml(const CFretlyDoc& doc, CExportSink& sink);
