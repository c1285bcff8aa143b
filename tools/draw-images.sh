#!/bin/sh
# Draws the program's images into resources/Resources/ with ImageMagick:
#   ledGreen.png, ledRed.png  16 x 16 RGBA status lamps
#   about.jpg                 128 x 128 baseline JPEG for the About page and window icon
#   ../corvane.png            the same picture as a PNG, for the desktop icon theme
#   ../corvane.ico            the same picture as the Windows program file's icon
# Run it again after changing a drawing; the results are committed beside this script.
# SPDX-License-Identifier: GPL-3.0-or-later
set -eu
out=$(dirname "$0")/../resources/Resources
convert=/usr/bin/convert   # ImageMagick from Debian's imagemagick package
strip="-strip -define png:exclude-chunks=date,time"

lamp() { # name, body colour, rim colour, highlight colour
    $convert -size 16x16 xc:none \
        -fill "$2" -stroke "$3" -strokewidth 1 -draw 'circle 7.5,7.5 7.5,1.5' \
        -fill "$4" -stroke none -draw 'circle 5.5,5.5 5.5,4' \
        $strip PNG32:"$out/$1"
}
lamp ledGreen.png '#2fb344' '#136b22' '#c9f7d0'
lamp ledRed.png '#d63b33' '#7a1712' '#ffd0cc'

# A dark pane with four coloured log lines and a raven's head watching them.
$convert -size 128x128 gradient:'#1d2b3a'-'#0d141c' \
    -fill '#2fb344' -draw 'roundrectangle 14,70 90,76 3,3' \
    -fill '#e0b03a' -draw 'roundrectangle 14,84 70,90 3,3' \
    -fill '#4a9be0' -draw 'roundrectangle 14,98 100,104 3,3' \
    -fill '#d63b33' -draw 'roundrectangle 14,112 56,118 3,3' \
    -fill '#0a0a0c' -stroke '#8a96a3' -strokewidth 1.5 \
    -draw 'polygon 40,52 52,26 74,16 96,22 112,38 94,40 80,48 70,58' \
    -fill '#f2f2f2' -stroke none -draw 'circle 82,28 82,24' \
    -fill '#0a0a0c' -draw 'circle 83,28 83,26.5' \
    -depth 8 -strip $strip PNG32:"$out/../corvane.png"
$convert "$out/../corvane.png" -type TrueColor -interlace none -quality 92 -strip \
    "$out/about.jpg"
# Windows shows this icon for the program file (resources/corvane.rc names it IDI_ICON1): one
# 128 x 128 bitmap with a 256-colour palette, which every Windows version can draw.
$convert "$out/../corvane.png" -alpha off -colors 256 -type Palette ico:"$out/../corvane.ico"
