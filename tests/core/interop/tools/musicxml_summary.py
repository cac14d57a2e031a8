"""Reads a MusicXML file with a real XML parser and prints what the tests check, one fact
a line:
  header NAME TEXT           work-title, movement-title, creator-TYPE, source, misc-NAME
  staff lines N tuning STEP+ALTER+OCTAVE... capo N clef SIGN
  measure NUMBER length L filled F   (L from the time signature, F the sum of durations)
  note STRING FRET MIDI TIE           one per note (tied pieces each)
  mark NAME[:TYPE]                    every notation element under the notes
  harmony ROOT ALTER KIND TEXT BASS / words TEXT
"""
import sys
import xml.etree.ElementTree as ET

STEPS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def midi(pitch):
    alter = int(pitch.findtext("alter", "0"))
    return (int(pitch.findtext("octave")) + 1) * 12 + STEPS[pitch.findtext("step")] + alter


def main(path):
    root = ET.parse(path).getroot()
    print("root", root.tag, root.get("version"))
    title = root.find("work/work-title")
    if title is not None:
        print("header work-title", title.text)
    if root.find("movement-title") is not None:
        print("header movement-title", root.findtext("movement-title"))
    for creator in root.findall("identification/creator"):
        print("header creator-" + creator.get("type"), creator.text)
    if root.find("identification/source") is not None:
        print("header source", root.findtext("identification/source"))
    for field in root.findall("identification/miscellaneous/miscellaneous-field"):
        print("header misc-" + field.get("name"), field.text.replace("\\", "\\\\").replace("\n", "\\n"))
    divisions, beats, beat_type = 1, 4, 4
    for measure in root.iter("measure"):
        for attributes in measure.findall("attributes"):
            divisions = int(attributes.findtext("divisions", str(divisions)))
            if attributes.find("time") is not None:
                beats = int(attributes.findtext("time/beats"))
                beat_type = int(attributes.findtext("time/beat-type"))
            details = attributes.find("staff-details")
            if details is not None:
                tuning = " ".join(t.findtext("tuning-step") + t.findtext("tuning-alter", "0") + t.findtext("tuning-octave")
                                  for t in details.findall("staff-tuning"))
                print("staff lines", details.findtext("staff-lines"), "tuning", tuning,
                      "capo", details.findtext("capo", "0"), "clef", attributes.findtext("clef/sign"))
        filled = 0
        for element in measure:
            if element.tag == "harmony":
                print("harmony", element.findtext("root/root-step"), element.findtext("root/root-alter", "0"),
                      element.findtext("kind"), repr(element.find("kind").get("text")),
                      element.findtext("bass/bass-step", "-"), "offset", element.findtext("offset", "0"))
            elif element.tag == "direction":
                for words in element.iter("words"):
                    print("words", repr(words.text), "offset", element.findtext("offset", "0"))
            elif element.tag == "note":
                if element.find("chord") is None:
                    filled += int(element.findtext("duration"))
                pitch = element.find("pitch")
                if pitch is not None:
                    ties = ",".join(t.get("type") for t in element.findall("tie")) or "-"
                    print("note", element.findtext("notations/technical/string"),
                          element.findtext("notations/technical/fret"), midi(pitch), ties)
                for notations in element.findall("notations"):
                    for mark in notations.iter():
                        if mark.tag in ("notations", "technical", "ornaments", "articulations", "string", "fret",
                                        "bend-alter", "natural", "tied"):
                            continue
                        print("mark", mark.tag + (":" + mark.get("type") if mark.get("type") else ""))
                head = element.find("notehead")
                if head is not None:
                    print("mark notehead-" + head.text + ("-parentheses" if head.get("parentheses") == "yes" else ""))
        length = beats * divisions * 4 // beat_type
        print("measure", measure.get("number"), "length", length, "filled", filled)


if __name__ == "__main__":
    main(sys.argv[1])
