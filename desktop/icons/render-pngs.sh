#!/bin/sh
# Renders the PNG sizes of the icons from their SVG drawings, into the hicolor
# tree installed as it stands. Run it after changing a drawing:
#   sh desktop/icons/render-pngs.sh        (needs rsvg-convert, librsvg2-bin)
set -eu
cd "$(dirname "$0")"
app=io.github.mavrel.Mavrel
chart=application-x-mavrel-chart
setlist=application-x-mavrel-setlist
for size in 16 32 48 128 256; do
    dir=hicolor/${size}x${size}
    mkdir -p "$dir/apps" "$dir/mimetypes"
    # Lines of the full drawing blur together at 16 pixels: that size has a
    # drawing of its own, on the pixel grid.
    source=hicolor/scalable/apps/$app.svg
    [ "$size" = 16 ] && source=$app-16.svg
    rsvg-convert -w "$size" -h "$size" "$source" -o "$dir/apps/$app.png"
    for type in $chart $setlist; do
        rsvg-convert -w "$size" -h "$size" "hicolor/scalable/mimetypes/$type.svg" -o "$dir/mimetypes/$type.png"
    done
done
