#!/bin/sh
# Renders Norvale's artwork from the SVG sources in this folder into src/ui/images.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick (imagemagick). Safe to run again: every
# picture is written anew, byte for byte the same from the same sources.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out="$here/../src/ui/images"
mkdir -p "$out"

for tool in rsvg-convert convert identify; do
    command -v "$tool" >/dev/null || { echo "render.sh: $tool is missing" >&2; exit 1; }
done

# render SOURCE TARGET WIDTH HEIGHT: a PNG with alpha.
render() {
    rsvg-convert -w "$3" -h "$4" -o "$out/$2" "$here/$1"
}

# render_rgb SOURCE TARGET WIDTH HEIGHT: a 24-bit PNG without alpha, on the panel colour.
render_rgb() {
    rsvg-convert -w "$3" -h "$4" "$here/$1" |
        convert png:- -background '#94B5D6' -alpha remove -alpha off -strip \
            -define png:exclude-chunks=date,time -define png:color-type=2 -define png:bit-depth=8 \
            "PNG24:$out/$2"
}

for i in 0 1 2 3; do
    render_rgb "panel$i.svg" "panel$i.png" 500 330
done
render banner.svg banner.png 137 28
render banner-hover.svg banner-hover.png 137 28
render checknow.svg checknow.png 149 29
render checknow-hover.svg checknow-hover.png 149 29
for i in 0 1 2 3; do
    render "bar$i.svg" "bar$i.png" 242 19
done
render bar-startup.svg bar-startup.png 241 19
render site.svg site.png 48 48
render folder16.svg folder16.png 16 16
render cursor.svg cursor.png 32 32
render icon16.svg icon16.png 16 16
render icon32.svg icon32.png 32 32
render icon.svg icon48.png 48 48
cp "$here/icon.svg" "$out/norvale.svg"

# Every picture must come out at the size the window lays it out at.
check() {
    got=$(identify -format '%wx%h' "$out/$1")
    [ "$got" = "$2" ] || { echo "render.sh: $1 is $got, expected $2" >&2; exit 1; }
}
for i in 0 1 2 3; do
    check "panel$i.png" 500x330
    check "bar$i.png" 242x19
done
check banner.png 137x28
check banner-hover.png 137x28
check checknow.png 149x29
check checknow-hover.png 149x29
check bar-startup.png 241x19
check site.png 48x48
check folder16.png 16x16
check cursor.png 32x32
check icon16.png 16x16
check icon32.png 32x32
check icon48.png 48x48
echo "render.sh: pictures written to $out"
