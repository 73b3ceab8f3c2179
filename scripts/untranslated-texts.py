#!/usr/bin/env python3
"""French texts the user would read untranslated.

    scripts/untranslated-texts.py SOURCE_LIST

SOURCE_LIST names the source files, one a line. A string literal is a text
for the user when it reads as French: an accented letter, French quotes, or
one of the small words every French sentence has ("de", "la", "n'"...). Such a
literal must be an argument of tr(), translate() or QT_TRANSLATE_NOOP() (or
QT_TR_NOOP()), where lupdate finds it; anywhere else the English interface
shows it in French. Identifiers, object names, paths and format strings read
as none of that and are left alone; comments and preprocessor lines are not
looked at.

Prints each one found as FILE:LINE: "TEXT" and exits with 1, or exits with 0.
"""
import re
import sys

TRANSLATING = {"tr", "translate", "QT_TRANSLATE_NOOP", "QT_TRANSLATE_NOOP3", "QT_TR_NOOP",
               "QT_TR_N_NOOP", "QT_TRANSLATE_N_NOOP", "qsTr"}

# French texts that are data, not sentences for the user.
NOT_SHOWN = {
    " C est pas bien de fouiner !!",   # the chart file's signature
}

FRENCH_LETTERS = re.compile("[àâäçéèêëîïôöùûüÿœæÀÂÄÇÉÈÊËÎÏÔÖÙÛÜŸŒÆ«»]")
# Words of two letters or more that start or join nearly every French
# sentence and are rare in English, identifiers or paths.
FRENCH_WORDS = re.compile(
    r"(?<![\w%-])(?:le|la|les|une?|des|du|est|sont|pas|aucune?|dans|avec|pour|sur|cette?|ces|"
    r"qui|que|peut|ne|fichier|grille|mesure|page|texte|accord|feuille)(?![\w-])|"
    r"(?<![\w%])[nldqs]'\w", re.IGNORECASE)

TOKEN = re.compile(r"""
    (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<raw>(?:u8|u|U|L)?R"(?P<delim>[^(\s]*)\((?P<rawtext>.*?)\)(?P=delim)")
  | (?P<string>(?:u8|u|U|L)?"(?P<text>(?:\\.|[^"\\\n])*)")
  | (?P<char>'(?:\\.|[^'\\\n])+')
  | (?P<preprocessor>^[ \t]*\#(?:\\\n|[^\n])*)
  | (?P<name>[A-Za-z_]\w*)
  | (?P<open>[({\[])
  | (?P<close>[)}\]])
  | (?P<other>\S)
""", re.VERBOSE | re.DOTALL | re.MULTILINE)


def reads_french(text):
    return bool(FRENCH_LETTERS.search(text)) or (" " in text.strip() and bool(FRENCH_WORDS.search(text)))


def scan(path):
    with open(path, encoding="utf-8") as f:
        source = f.read()
    found = []
    # The calls and braces open around the current token: the name before
    # each, or None.
    open_calls = []
    last_name = None
    literal, literal_line, literal_call = None, 0, None

    def end_literal():
        nonlocal literal
        if (literal is not None and literal_call not in TRANSLATING and literal not in NOT_SHOWN
                and reads_french(literal)):
            found.append((literal_line, literal))
        literal = None

    for m in TOKEN.finditer(source):
        kind = m.lastgroup
        if kind in ("comment", "preprocessor"):
            continue
        if kind in ("string", "raw"):
            text = m.group("text") if kind == "string" else m.group("rawtext")
            if literal is None:
                # Adjacent literals are one text.
                literal = ""
                literal_line = source.count("\n", 0, m.start()) + 1
                literal_call = open_calls[-1] if open_calls else None
            literal += text
            last_name = None
            continue
        end_literal()
        if kind == "name":
            last_name = m.group()
            continue
        if kind == "open":
            open_calls.append(last_name if m.group() == "(" else None)
        elif kind == "close":
            if open_calls:
                open_calls.pop()
        last_name = None
    end_literal()
    return found


def main():
    if len(sys.argv) != 2:
        print("usage: untranslated-texts.py SOURCE_LIST", file=sys.stderr)
        return 2
    with open(sys.argv[1], encoding="utf-8") as f:
        paths = [line.strip() for line in f if line.strip()]
    status = 0
    for path in paths:
        for line, text in scan(path):
            print(f'{path}:{line}: "{text}"')
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
