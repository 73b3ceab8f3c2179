#!/usr/bin/env bash
# The band's files as the programs musicians use read them:
#
#   scripts/sound-test.sh BUILD_DIR MAKE_CHART
#
# Songs of several styles, meters and forms (repeats, endings), written as
# charts by the test tool make_chart, are exported by `mavrel export` as MIDI
# files (some with --style, --tempo, --choruses) and as WAV and FLAC files:
# - mido reads every MIDI file: type 1, a named track with its program for
#   bass, piano (or guitar) and drums, the drums on channel 10, the tempo and
#   the meter; it lasts bars × beats × 60 / tempo for the form unrolled; at
#   each chord the bass plays the chord's root (or its slash bass) on the
#   beat; each piano note is a tone or a tension of the chord under it; no
#   note is left hanging;
# - MMA plays the same song written in its own language, repeats and all, at
#   the same tempo: both files end within a beat of each other;
# - sox decodes the audio: 16-bit stereo at 44.1 kHz, as long as the MIDI
#   file to the millisecond, sound in every bar, FLAC the same samples as WAV.
#
# Without python3-mido, MMA or sox (`sh scripts/install-deps test` installs
# them) the test is skipped, with status 77.
set -euo pipefail

build=${1:?"usage: $0 BUILD_DIR MAKE_CHART"}
make_chart=${2:?"usage: $0 BUILD_DIR MAKE_CHART"}
mavrel="$build/mavrel"

python=""
for candidate in python3 /usr/bin/python3; do
    if "$candidate" -c 'import mido' 2>/dev/null; then python=$candidate; break; fi
done
[ -n "$python" ] || { echo "sound-test: python3-mido missing; skipped"; exit 77; }
for tool in mma sox soxi; do
    command -v "$tool" >/dev/null || { echo "sound-test: $tool missing; skipped"; exit 77; }
done

work=$(mktemp -d /tmp/mavrel-sound.XXXXXX)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

exec "$python" - "$mavrel" "$make_chart" "$work" <<'EOF'
import os, subprocess, sys
import mido

mavrel, make_chart, work = sys.argv[1], sys.argv[2], sys.argv[3]

def fail(message):
    sys.exit(f"sound-test: {message}")

NAMES = {'C': 0, 'D': 2, 'E': 4, 'F': 5, 'G': 7, 'A': 9, 'B': 11}
# quality: iReal's spelling, MMA's, the chord's tones and the tensions it
# may take (intervals above the root)
QUALITIES = {
    '':     ('',    '',     {0, 4, 7},        {2, 9}),
    'm':    ('-',   'm',    {0, 3, 7},        {2, 5}),
    '7':    ('7',   '7',    {0, 4, 7, 10},    {2, 9}),
    'm7':   ('-7',  'm7',   {0, 3, 7, 10},    {2, 5}),
    'maj7': ('^7',  'maj7', {0, 4, 7, 11},    {2, 9}),
    'm7b5': ('h7',  'm7b5', {0, 3, 6, 10},    {5, 8}),
    '7b9':  ('7b9', '7b9',  {0, 1, 4, 7, 10}, {3, 8, 9}),
    '6':    ('6',   '6',    {0, 4, 7, 9},     {2}),
    'dim7': ('o7',  'dim7', {0, 3, 6, 9},     set()),
}

def pitch(name):
    value = NAMES[name[0]]
    for accidental in name[1:]:
        value += 1 if accidental == '#' else -1
    return value % 12

def chord(text):
    """'Bb7/D' -> root, quality, bass (pitch classes but the quality)."""
    text, _, bass = text.partition('/')
    n = 2 if len(text) > 1 and text[1] in '#b' else 1
    root = pitch(text[:n])
    return root, text[n:], pitch(bass) if bass else root

# A song: its style text, the MMA groove, its tempo, beats a bar, the
# options of the export, and its form as make_chart reads it: bars parted by
# "|", "{" and "}" around a repeat, "N:" before a bar under ending N.
SONGS = [
    ('Blues', 'Medium Swing', 'Swing', 150, 4, [],
     'C7 | F7 | C7 | Gm7 C7 | F7 | F#dim7 | C7 | A7b9 | {Dm7 | G7 | 1:C7 A7 | 1:Dm7 G7} | 2:C7 | 2:C7'),
    ('Bossa', 'Bossa Nova', 'BossaNova', 130, 4, [],
     'Cmaj7 | Cmaj7 | Dm7 | G7/B | Em7 | A7b9 | Dm7 | G7 | Em7b5 | A7b9 | Dm7 | Dm7 | Dm7b5 | G7b9 | C6 | C6'),
    ('Valse', 'Jazz Waltz', 'JazzWaltz', 170, 3, [],
     '{Fmaj7 | Em7 A7 | Dm7 | G7} | Cmaj7 | Am7 | Dm7 G7 | C'),
    ('Groove', 'Rock Pop', 'BasicRock', 100, 4, ['--style', 'funk', '--choruses', '2'],
     'Em7 | Em7 | A7 | A7 | {C | D | Em | Em}'),
    ('Ballade', 'Ballad', 'Ballad', 72, 4, ['--tempo', '60'],
     'Ebmaj7 | Cm7 | Fm7 | Bb7 | Gm7 C7b9 | Fm7 Bb7 | Eb6 | Eb6'),
]

def form_of(form):
    """Each bar: its chords, and whether it opens or closes a repeat, its ending."""
    bars = []
    for token in form.split('|'):
        token = token.strip()
        opens, closes = token.startswith('{'), token.endswith('}')
        token = token.strip('{}').strip()
        ending = 0
        if ':' in token:
            ending, token = int(token.split(':')[0]), token.split(':', 1)[1]
        bars.append((token.split(), opens, closes, ending))
    return bars

def played_bars(form):
    """The bars as played: a repeat once more, its first ending the first time only."""
    bars, played, start = form_of(form), [], 0
    for i, (chords, opens, closes, ending) in enumerate(bars):
        if opens:
            start = i
        played.append(chords)
        if closes:
            played += [b[0] for b in bars[start:i + 1] if b[3] != 1]
    return played

def mma_source(groove, tempo, beats, form):
    lines = ['Tempo %d' % tempo, 'Time %d' % beats, 'Groove %s' % groove]
    in_ending = False
    for chords, opens, closes, ending in form_of(form):
        if opens:
            lines.append('Repeat')
        if ending == 1 and not in_ending:
            lines.append('RepeatEnding')
            in_ending = True
        names = []
        for c in chords:
            root, quality, bass = chord(c)
            name, _, slash = c.partition('/')
            n = 2 if len(name) > 1 and name[1] in '#b' else 1
            names.append(name[:n] + QUALITIES[quality][1] + ('/' + slash if slash else ''))
        cells = ['/'] * beats
        for b, name in zip(beats_of(len(names), beats), names):
            cells[b] = name
        lines.append(' '.join(cells))
        if closes:
            lines.append('RepeatEnd')
            in_ending = False
    return '\n'.join(lines) + '\n'

def beats_of(count, beats):
    """Where the chords of a bar start, as the page divides it: two chords
    share a bar of three as two beats and one."""
    return {1: [0], 2: [0, (beats + 1) // 2], 4: list(range(4))}[count]

def run(*args):
    r = subprocess.run(args, capture_output=True, text=True)
    if r.returncode != 0:
        fail(f"{' '.join(args)}: {r.stderr.strip()}")
    return r

def notes_of(midi):
    """(start, end, channel, pitch) of every note, and the notes left hanging."""
    notes, hanging = [], 0
    for track in midi.tracks:
        now, sounding = 0, {}
        for m in track:
            now += m.time
            if m.type == 'note_on' and m.velocity > 0:
                sounding.setdefault((m.channel, m.note), []).append(now)
            elif m.type in ('note_on', 'note_off'):
                if sounding.get((m.channel, m.note)):
                    notes.append((sounding[(m.channel, m.note)].pop(0), now, m.channel, m.note))
        hanging += sum(len(s) for s in sounding.values())
    return notes, hanging

checked = 0
for title, style, groove, tempo, beats, options, form in SONGS:
    folder = os.path.join(work, title)
    os.makedirs(folder)
    chart = os.path.join(folder, title + '.bab')
    run(make_chart, chart, title, style, str(tempo), str(beats), form)
    midi_file = os.path.join(folder, 'band.mid')
    run(mavrel, 'export', chart, '-o', midi_file, *options)
    if '--tempo' in options:
        tempo = int(options[options.index('--tempo') + 1])
    choruses = int(options[options.index('--choruses') + 1]) if '--choruses' in options else 1
    played = played_bars(form) * choruses

    midi = mido.MidiFile(midi_file)
    tpq = midi.ticks_per_beat
    if midi.type != 1:
        fail(f'{title}: MIDI type {midi.type}')
    expected = len(played) * beats * 60 / tempo
    if abs(midi.length - expected) > 1e-3:
        fail(f'{title}: lasts {midi.length:.3f} s, not {expected:.3f} s ({len(played)} bars)')
    meta = [m for m in midi.tracks[0] if m.is_meta]
    if not any(m.type == 'set_tempo' and round(mido.tempo2bpm(m.tempo)) == tempo for m in meta):
        fail(f'{title}: no tempo {tempo}')
    if not any(m.type == 'time_signature' and m.numerator == beats for m in meta):
        fail(f'{title}: no meter {beats}/4')
    tracks = {}
    for track in midi.tracks[1:]:
        programs = [m for m in track if m.type == 'program_change']
        if not track.name or not programs:
            fail(f'{title}: a track without a name or a program')
        tracks[track.name] = programs[0].channel
    piano = 'Guitar' if style == 'Bossa Nova' else 'Piano'
    if tracks.get('Bass') is None or tracks.get(piano) is None or tracks.get('Drums') != 9:
        fail(f'{title}: tracks {tracks}')
    notes, hanging = notes_of(midi)
    if hanging:
        fail(f'{title}: {hanging} notes left hanging')
    if not any(n[2] == 9 for n in notes):
        fail(f'{title}: no drums on channel 10')

    # The chords as they are played: the page's division of the bar.
    chords, bar_ticks = [], beats * tpq
    for i, bar in enumerate(played):
        starts = [i * bar_ticks + b * tpq for b in beats_of(len(bar), beats)] + [(i + 1) * bar_ticks]
        for k, c in enumerate(bar):
            chords.append((starts[k], starts[k + 1], c))
    bass, keys = tracks['Bass'], tracks[piano]
    for i in range(len(played)):
        if not any(n[2] == keys and i * bar_ticks <= n[0] < (i + 1) * bar_ticks for n in notes):
            fail(f'{title}: the {piano.lower()} plays nothing in bar {i + 1}')
    for start, end, text in chords:
        root, quality, slash = chord(text)
        on_beat = [n for n in notes if n[2] == bass and n[0] == start]
        if not on_beat or any(n[3] % 12 != slash for n in on_beat):
            fail(f'{title}: at tick {start} the bass does not play {text}\'s bass: {on_beat}')
        allowed = {(root + i) % 12 for i in QUALITIES[quality][2] | QUALITIES[quality][3]}
        for n in notes:
            if n[2] == keys and start <= n[0] < end:
                if n[3] % 12 not in allowed:
                    fail(f'{title}: piano note {n[3]} at tick {n[0]} outside {text}')
                if n[1] > end:
                    fail(f'{title}: piano note at tick {n[0]} lasts past {text}')

    # MMA: the same song, the same tempo.
    source = os.path.join(folder, 'song.mma')
    with open(source, 'w') as f:
        f.write(mma_source(groove, tempo, beats, form) if choruses == 1 else
                'Repeat\n' + mma_source(groove, tempo, beats, form) + 'RepeatEnd %d\n' % choruses)
    theirs = os.path.join(folder, 'mma.mid')
    run('mma', source, '-f', theirs)
    if abs(mido.MidiFile(theirs).length - midi.length) > 60 / tempo:
        fail(f'{title}: MMA plays {mido.MidiFile(theirs).length:.2f} s, we play {midi.length:.2f} s')

    # The sound, for the songs that do not repeat a chorus.
    if choruses == 1:
        raw = {}
        for kind in ('wav', 'flac'):
            audio = os.path.join(folder, 'band.' + kind)
            run(mavrel, 'export', chart, '-o', audio, *options)
            info = run('soxi', audio).stdout
            for line in ('Channels       : 2', 'Sample Rate    : 44100', 'Precision      : 16-bit'):
                if line not in info:
                    fail(f'{title}.{kind}: not {line}: {info}')
            seconds = float(run('soxi', '-D', audio).stdout)
            if abs(seconds - midi.length) > 1e-3:
                fail(f'{title}.{kind}: lasts {seconds:.3f} s, the MIDI file {midi.length:.3f} s')
            raw[kind] = subprocess.run(['sox', audio, '-t', 'raw', '-e', 'signed', '-b', '16', '-'],
                                       capture_output=True, check=True).stdout
        if raw['wav'] != raw['flac']:
            fail(f'{title}: the FLAC file does not hold the samples of the WAV file')
        samples = memoryview(raw['wav']).cast('h')
        frames = 44100 * beats * 60 / tempo
        for i in range(len(played)):
            bar = samples[int(i * frames) * 2:int((i + 1) * frames) * 2]
            rms = (sum(s * s for s in bar[::16]) / max(1, len(bar[::16]))) ** 0.5 / 32768
            if rms < 0.003:
                fail(f'{title}: bar {i + 1} is silent (RMS {rms:.5f})')
            if max(bar) >= 32767 or min(bar) <= -32768:
                fail(f'{title}: bar {i + 1} clips')
    checked += 1

print(f'sound-test: {checked} songs read by mido, MMA and sox')
EOF
