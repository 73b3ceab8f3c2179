#!/usr/bin/env bash
# Every text the user reads has its translation: lupdate reads the sources
# into a copy of the .ts file (the committed one is never rewritten), and no
# text may come out unfinished; and no French text reaches the user without
# going through tr() or QT_TRANSLATE_NOOP(), where lupdate cannot see it
# (untranslated-texts.py).
#
#   scripts/translations-test.sh LUPDATE TS_FILE SOURCE_LIST [LUPDATE_OPTION...]
#
# SOURCE_LIST names the source files, one a line.
set -euo pipefail

lupdate=${1:?"usage: $0 LUPDATE TS_FILE SOURCE_LIST [LUPDATE_OPTION...]"}
ts=${2:?"usage: $0 LUPDATE TS_FILE SOURCE_LIST [LUPDATE_OPTION...]"}
list=${3:?"usage: $0 LUPDATE TS_FILE SOURCE_LIST [LUPDATE_OPTION...]"}
shift 3

work=$(mktemp -d /tmp/mavrel-translations.XXXXXX)
trap 'rm -rf "$work"' EXIT
copy="$work/$(basename "$ts")"
cp "$ts" "$copy"
"$lupdate" "$@" "@$list" -ts "$copy" >"$work/lupdate.log" 2>&1 || { cat "$work/lupdate.log"; exit 1; }
cat "$work/lupdate.log"

# The source of each unfinished entry: the <source> element before it.
untranslated=$(awk '/<source>/ { source = $0 } /<source>/ && !/<\/source>/ { open = 1 }
                    open && !/<source>/ { source = source "\n" $0 } /<\/source>/ { open = 0 }
                    /type="unfinished"/ { print source }' "$copy")
if [ -n "$untranslated" ]; then
    echo "Texts without a translation in $(basename "$ts"):" >&2
    echo "$untranslated" | sed 's/^ *//' >&2
    exit 1
fi

if ! "$(dirname "$0")/untranslated-texts.py" "$list" >"$work/untranslated.txt"; then
    echo "French texts outside tr(), translate() or QT_TRANSLATE_NOOP():" >&2
    cat "$work/untranslated.txt" >&2
    exit 1
fi
echo "translations-test: every text has its translation"
