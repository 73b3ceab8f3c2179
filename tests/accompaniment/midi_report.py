#!/usr/bin/env python3
"""What mido reads in a MIDI file, one fact a line, for the tests:

    format TYPE TICKS_PER_BEAT
    length SECONDS
    tempo TICK MICROSECONDS
    time TICK NUMERATOR DENOMINATOR
    track NAME
    program CHANNEL PROGRAM
    note START END CHANNEL PITCH VELOCITY
    hanging COUNT          (notes of the track never ended)
    end TICK               (the track's end of track)
"""
import sys

import mido


def main(path):
    midi = mido.MidiFile(path)
    print("format", midi.type, midi.ticks_per_beat)
    print("length %.6f" % midi.length)
    for track in midi.tracks:
        print("track", track.name)
        now = 0
        sounding = {}
        for message in track:
            now += message.time
            if message.type == "set_tempo":
                print("tempo", now, message.tempo)
            elif message.type == "time_signature":
                print("time", now, message.numerator, message.denominator)
            elif message.type == "program_change":
                print("program", message.channel, message.program)
            elif message.type == "note_on" and message.velocity > 0:
                sounding.setdefault((message.channel, message.note), []).append((now, message.velocity))
            elif message.type in ("note_on", "note_off"):
                started = sounding.get((message.channel, message.note))
                if started:
                    start, velocity = started.pop(0)
                    print("note", start, now, message.channel, message.note, velocity)
            elif message.type == "end_of_track":
                print("end", now)
        print("hanging", sum(len(s) for s in sounding.values()))


if __name__ == "__main__":
    main(sys.argv[1])
