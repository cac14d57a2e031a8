"""Prints the notes a Standard MIDI File sounds, one "onset pitch velocity" line each, in
the order they begin (onset in quarter notes, as a fraction), read with mido."""
import sys
from fractions import Fraction

import mido


def main(path):
    midi = mido.MidiFile(path)
    notes = []
    for track in midi.tracks:
        tick = 0
        for message in track:
            tick += message.time
            if message.type == "note_on" and message.velocity > 0:
                notes.append((Fraction(tick, midi.ticks_per_beat), message.note, message.velocity))
    notes.sort(key=lambda n: (n[0], n[1]))
    print("type", midi.type, "tracks", len(midi.tracks), "length", round(midi.length, 3))
    for onset, note, velocity in notes:
        print(onset, note, velocity)


if __name__ == "__main__":
    main(sys.argv[1])
