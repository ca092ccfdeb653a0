#!/bin/bash
# Remakes the reference pictures of this folder with other programs, and SOURCES with the
# commands. Run by hand only (bash tests/data/make-references.sh); it needs the Debian 12
# packages imagemagick, graphicsmagick, netpbm, libjpeg-turbo-progs and libtiff-tools, which
# nothing else in the project installs.
#
# Every picture X comes with X.png, the way the program named beside it reads X. At the end
# each file is also read by the other programs that know its type, and any disagreement is
# printed (see the .README files for the ones we looked into).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
IM=convert-im6.q16 # Debian's ImageMagick 6; plain "convert" may be something else
export IM

sources=$here/SOURCES
{
    echo "# How each reference picture was made (by make-references.sh), and which program's"
    echo "# reading of it is stored as <file>.png. Programs:"
    echo "#   $($IM -version | head -1)"
    echo "#   $(gm version | head -1)"
    echo "#   netpbm $(dpkg-query -W -f='${Version}' netpbm)"
    echo "#   libjpeg-turbo-progs $(dpkg-query -W -f='${Version}' libjpeg-turbo-progs)"
    echo "#   libtiff-tools $(dpkg-query -W -f='${Version}' libtiff-tools)"
    echo "# src-*.ppm/pgm/pbm/png are made first, in a scratch folder, and not kept. Where a stored"
    echo "# reading is not a program's plain output, or where the programs disagree, a .README"
    echo "# beside the files says why."
} > "$sources"

note() { printf '%s\n' "$*" >> "$sources"; }
# step NAME 'command': runs the command in the scratch folder (where it writes NAME) and
# records it.
step() {
    (cd "$work" && bash -c "$2")
    note "$1: ${2//\$IM/$IM}"
}
# keep NAME 'maker' 'reader': makes NAME, then NAME.png with the reader (which writes
# $out from $in), and copies both here.
keep() {
    step "$1" "$2"
    (cd "$work" && in=$1 out=$1.png bash -c "$3")
    local r=${3//\$in/$1}
    r=${r//\$out/$1.png}
    note "$1.png: ${r//\$IM/$IM}"
    cp "$work/$1" "$work/$1.png" "$here/"
}
# dib NAME FROM: a bare DIB is a BMP without its 14-byte file header; the reference picture
# stays the reading of the whole BMP.
dib() {
    step "$1" "tail -c +15 $2 > $1"
    cp "$work/$1" "$here/"
    cp "$work/$2.png" "$here/$1.png"
    note "$1.png: copy of $2.png"
}

# (without date chunks, so that a rerun gives the same bytes)
im='$IM $in -define png:exclude-chunk=date,time $out'
# ImageMagick 6.9.11 leaves a Targa's rows in file order unless told to turn them.
imtga='$IM $in -auto-orient -define png:exclude-chunk=date,time $out'
gmr='gm convert $in $out'

note ""
note "## Source pictures"
step src-rgb.ppm "\$IM -size 45x29 gradient:'#ff2010-#1040e0' -fill yellow -draw 'circle 14,14 14,5' -fill '#20a040' -draw 'rectangle 28,4 41,24' -fill black -draw 'line 0,28 44,0' -depth 8 src-rgb.ppm"
step src-256.ppm "\$IM src-rgb.ppm -colors 200 -depth 8 src-256.ppm"
step src-16.ppm "\$IM src-rgb.ppm -colors 16 -depth 8 src-16.ppm"
step src-grey.pgm "\$IM src-rgb.ppm -colorspace gray -depth 8 src-grey.pgm"
step src-rgba.png "\$IM src-rgb.ppm -alpha set -channel A -fx 'i/w' +channel -depth 8 src-rgba.png"
step src-mono.pbm "\$IM -size 45x29 xc:white -fill black -draw 'circle 14,14 14,4' -draw 'rectangle 27,3 41,25' -fill white -draw 'rectangle 31,7 37,21' -draw 'line 0,28 44,0' -monochrome src-mono.pbm"
step src-mono2.pbm "\$IM -size 70x40 xc:white -fill black -draw 'rectangle 0,0 69,5' -draw 'rectangle 10,10 30,30' -draw 'ellipse 50,25 15,10 0,360' -draw 'line 0,39 69,8' -monochrome src-mono2.pbm"
step src-stripes.pbm "\$IM -size 120x60 pattern:checkerboard -fill white -draw 'rectangle 0,10 119,25' -fill black -draw 'rectangle 20,30 100,40' -monochrome src-stripes.pbm"
step src-page.pbm "\$IM -size 576x720 xc:white -fill black -draw 'rectangle 40,40 535,80' -draw 'circle 288,360 288,200' -fill white -draw 'circle 288,360 288,260' -fill black -draw 'line 0,719 575,0' -draw 'rectangle 500,600 575,719' -monochrome src-page.pbm"

note ""
note "## PCX"
keep pcx-8bit-palette-im.pcx '$IM src-256.ppm -type Palette pcx:pcx-8bit-palette-im.pcx' "$im"
keep pcx-24bit-im.pcx '$IM src-rgb.ppm -type TrueColor pcx:pcx-24bit-im.pcx' "$im"
keep pcx-1bit-gm.pcx 'gm convert src-mono.pbm pcx:pcx-1bit-gm.pcx' "$gmr"
keep pcx-1bit-netpbm.pcx 'ppmtopcx src-mono.pbm > pcx-1bit-netpbm.pcx' 'pcxtoppm $in | pnmtopng > $out'
keep pcx-4planes-netpbm.pcx 'ppmtopcx src-16.ppm > pcx-4planes-netpbm.pcx' 'pcxtoppm $in | pnmtopng > $out'
keep pcx-4bit-packed-netpbm.pcx 'ppmtopcx -packed src-16.ppm > pcx-4bit-packed-netpbm.pcx' 'pcxtoppm $in | pnmtopng > $out'
keep pcx-8bit-palette-netpbm.pcx 'ppmtopcx -8bit src-256.ppm > pcx-8bit-palette-netpbm.pcx' 'pcxtoppm $in | pnmtopng > $out'
keep pcx-24bit-netpbm.pcx 'ppmtopcx -24bit src-rgb.ppm > pcx-24bit-netpbm.pcx' 'pcxtoppm $in | pnmtopng > $out'

note ""
note "## Targa"
keep tga-8bit-cmap-im.tga '$IM src-256.ppm -type Palette -orient TopLeft tga:tga-8bit-cmap-im.tga' "$imtga"
keep tga-24bit-rle-im.tga '$IM src-rgb.ppm -type TrueColor -compress RLE -orient TopLeft tga:tga-24bit-rle-im.tga' "$imtga"
keep tga-32bit-im.tga '$IM src-rgba.png -type TrueColorAlpha -orient TopLeft tga:tga-32bit-im.tga' "$imtga"
keep tga-8bit-cmap-rle-netpbm.tga 'pamtotga -cmap src-256.ppm > tga-8bit-cmap-rle-netpbm.tga' 'tgatoppm $in | pnmtopng > $out'
keep tga-grey-rle-netpbm.tga 'pamtotga -mono src-grey.pgm > tga-grey-rle-netpbm.tga' 'tgatoppm $in | pnmtopng > $out'
keep tga-24bit-netpbm.tga 'pamtotga -rgb -norle src-rgb.ppm > tga-24bit-netpbm.tga' 'tgatoppm $in | pnmtopng > $out'

note ""
note "## Sun Raster"
keep ras-1bit-im.ras '$IM src-mono.pbm sun:ras-1bit-im.ras' "$im"
keep ras-8bit-im.ras '$IM src-256.ppm -type Palette sun:ras-8bit-im.ras' "$im"
keep ras-24bit-im.ras '$IM src-rgb.ppm -type TrueColor sun:ras-24bit-im.ras' "$im"
keep ras-1bit-netpbm.ras 'pnmtorast -standard src-mono.pbm > ras-1bit-netpbm.ras' 'rasttopnm $in | pnmtopng > $out'
keep ras-8bit-rle-netpbm.ras 'pnmtorast -rle src-256.ppm > ras-8bit-rle-netpbm.ras' 'rasttopnm $in | pnmtopng > $out'
keep ras-grey-netpbm.ras 'pnmtorast -standard src-grey.pgm > ras-grey-netpbm.ras' 'rasttopnm $in | pnmtopng > $out'
keep ras-1bit-rle-netpbm.ras 'pnmtorast -rle src-mono2.pbm > ras-1bit-rle-netpbm.ras' 'rasttopnm $in | pnmtopng > $out'
keep ras-24bit-rle-netpbm.ras 'pnmtorast -rle src-rgb.ppm > ras-24bit-rle-netpbm.ras' 'rasttopnm $in | pnmtopng > $out'

note ""
note "## BMP (read through Qt) and bare DIB (our decoder)"
keep bmp-8bit-rle8-im.bmp '$IM src-256.ppm -type Palette -compress RLE bmp3:bmp-8bit-rle8-im.bmp' "$im"
keep bmp-4bit-im.bmp '$IM src-16.ppm -type Palette bmp3:bmp-4bit-im.bmp' "$im"
# netpbm's reading: v*255/max for the 5- and 6-bit channels (see bmp-16bit.README)
keep bmp-16bit-565-im.bmp '$IM src-rgb.ppm -define bmp:subtype=RGB565 bmp:bmp-16bit-565-im.bmp' 'bmptopnm $in | pnmtopng > $out'
keep bmp-32bit-bitfields-im.bmp '$IM src-rgba.png bmp:bmp-32bit-bitfields-im.bmp' "$im"
keep bmp-os2-24bit-im.bmp '$IM src-rgb.ppm bmp2:bmp-os2-24bit-im.bmp' "$im"
keep bmp-os2-8bit-netpbm.bmp 'ppmtobmp -os2 -bpp 8 src-256.ppm > bmp-os2-8bit-netpbm.bmp' 'bmptopnm $in | pnmtopng > $out'
keep bmp-1bit-netpbm.bmp 'ppmtobmp -windows src-mono.pbm > bmp-1bit-netpbm.bmp' 'bmptopnm $in | pnmtopng > $out'
dib dib-8bit-rle8-im.dib bmp-8bit-rle8-im.bmp
dib dib-4bit-im.dib bmp-4bit-im.bmp
dib dib-16bit-565-im.dib bmp-16bit-565-im.bmp
dib dib-32bit-bitfields-im.dib bmp-32bit-bitfields-im.bmp
dib dib-os2-24bit-im.dib bmp-os2-24bit-im.bmp
dib dib-os2-8bit-netpbm.dib bmp-os2-8bit-netpbm.bmp
dib dib-1bit-netpbm.dib bmp-1bit-netpbm.bmp

note ""
note "## Amiga IFF ILBM"
keep iff-ilbm-7planes-netpbm.iff 'ppmtoilbm -maxplanes 8 src-256.ppm > iff-ilbm-7planes-netpbm.iff' 'ilbmtoppm $in | pnmtopng > $out'
keep iff-ilbm-4planes-raw-netpbm.iff 'ppmtoilbm -cmethod none src-16.ppm > iff-ilbm-4planes-raw-netpbm.iff' 'ilbmtoppm $in | pnmtopng > $out'
keep iff-ilbm-1plane-netpbm.iff 'ppmtoilbm src-mono.pbm > iff-ilbm-1plane-netpbm.iff' 'ilbmtoppm $in | pnmtopng > $out'
keep iff-ilbm-24bit-netpbm.iff 'ppmtoilbm -24force src-rgb.ppm > iff-ilbm-24bit-netpbm.iff' 'ilbmtoppm $in | pnmtopng > $out'
keep iff-ilbm-ham6-netpbm.iff 'ppmtoilbm -hamforce -hambits 4 src-rgb.ppm > iff-ilbm-ham6-netpbm.iff' 'ilbmtoppm $in | pnmtopng > $out'
keep iff-ilbm-ham8-netpbm.iff 'ppmtoilbm -hamforce -hambits 6 src-rgb.ppm > iff-ilbm-ham8-netpbm.iff' 'ilbmtoppm $in | pnmtopng > $out'

note ""
note "## GEM IMG, MacPaint, PFS: First Publisher ART, Slow Scan TV HRZ"
keep gem-netpbm.img 'pbmtogem src-mono.pbm > gem-netpbm.img' 'gemtopnm $in | pnmtopng > $out'
keep gem-stripes-netpbm.img 'pbmtogem src-stripes.pbm > gem-stripes-netpbm.img' 'gemtopnm $in | pnmtopng > $out'
keep mac-netpbm.mac 'pbmtomacp src-page.pbm > mac-netpbm.mac' 'macptopbm $in | pnmtopng > $out'
keep art-im.art '$IM src-mono.pbm art:art-im.art' "$im"
keep art-gm.art 'gm convert src-mono2.pbm art:art-gm.art' "$gmr"
# ImageMagick's reading, its 6-bit samples v widened as v*4 + v/16 (see hrz.README)
keep hrz-im.hrz '$IM src-rgb.ppm -filter point -resize 256x240! hrz:hrz-im.hrz' '$IM $in -fx "u+floor(u*255/64)/255" -depth 8 -define png:exclude-chunk=date,time $out'

note ""
note "## JPEG"
keep jpeg-baseline-cjpeg.jpg 'cjpeg -quality 85 src-rgb.ppm > jpeg-baseline-cjpeg.jpg' 'djpeg -pnm $in | pnmtopng > $out'
keep jpeg-progressive-cjpeg.jpg 'cjpeg -quality 85 -progressive src-rgb.ppm > jpeg-progressive-cjpeg.jpg' 'djpeg -pnm $in | pnmtopng > $out'
keep jpeg-grey-cjpeg.jpg 'cjpeg -grayscale src-rgb.ppm > jpeg-grey-cjpeg.jpg' 'djpeg -pnm $in | pnmtopng > $out'
# Read the way the viewer does by default (fast integer DCT, plain chroma upsampling).
keep jpeg-fastdct-cjpeg.jpg 'cjpeg -quality 75 src-rgb.ppm > jpeg-fastdct-cjpeg.jpg' 'djpeg -dct fast -nosmooth -pnm $in | pnmtopng > $out'
keep jpeg-444-restart-cjpeg.jpg 'cjpeg -sample 1x1 -restart 2 src-rgb.ppm > jpeg-444-restart-cjpeg.jpg' 'djpeg -pnm $in | pnmtopng > $out'

note ""
note "## PNG, GIF, TIFF (read through Qt)"
keep png-palette-interlaced-netpbm.png 'pnmtopng -interlace src-256.ppm > png-palette-interlaced-netpbm.png' 'pngtopam $in | pnmtopng > $out'
keep png-rgba-im.png '$IM src-rgba.png png32:png-rgba-im.png' "$im"
keep gif-netpbm.gif 'pamtogif src-256.ppm > gif-netpbm.gif' 'giftopnm $in | pnmtopng > $out'
keep gif-interlaced-im.gif '$IM src-rgb.ppm -interlace GIF gif:gif-interlaced-im.gif' "$im"
keep tiff-lzw-netpbm.tif 'pnmtotiff -lzw src-rgb.ppm > tiff-lzw-netpbm.tif' 'tifftopnm $in | pnmtopng > $out'
keep tiff-packbits-tiffcp.tif 'tiffcp -c packbits tiff-lzw-netpbm.tif tiff-packbits-tiffcp.tif' 'tifftopnm $in | pnmtopng > $out'
keep tiff-g4-im.tif '$IM src-mono.pbm -compress Group4 tiff:tiff-g4-im.tif' "$im"
keep tiff-palette-im.tif '$IM src-16.ppm -type Palette -compress Zip tiff:tiff-palette-im.tif' "$im"

# Cross-check: every other program that reads the type, against the stored reading.
agree() {
    local file=$1 how=$2 n
    if ! (cd "$work" && in=$file out=other.png bash -c "$how") 2>/dev/null; then
        echo "$file: cannot be read by: $how"
        return
    fi
    n=$(compare-im6.q16 -metric AE "$work/other.png" "$here/$file.png" null: 2>&1 || true)
    [ "$n" = 0 ] || echo "$file: $n pixels differ when read by: $how"
}
echo "Cross-check:"
for f in "$here"/*.*; do
    f=$(basename "$f")
    case $f in
    *.pcx) agree "$f" "$im"; agree "$f" "$gmr"; agree "$f" 'pcxtoppm $in | pnmtopng > $out' ;;
    *.tga) agree "$f" "$imtga"; agree "$f" "$gmr"; agree "$f" 'tgatoppm $in | pnmtopng > $out' ;;
    *.ras) agree "$f" "$im"; agree "$f" "$gmr"; agree "$f" 'rasttopnm $in | pnmtopng > $out' ;;
    *.bmp) agree "$f" "$im"; agree "$f" "$gmr"; agree "$f" 'bmptopnm $in | pnmtopng > $out' ;;
    *.img) agree "$f" 'gemtopnm $in | pnmtopng > $out' ;;
    *.mac) agree "$f" '$IM mac:$in $out'; agree "$f" 'gm convert mac:$in $out' ;;
    *.art) agree "$f" "$im"; agree "$f" "$gmr" ;;
    *.hrz) agree "$f" "$im"; agree "$f" 'gm convert hrz:$in $out' ;;
    *-fastdct-*.jpg) ;; # the others read with the accurate DCT only
    *.jpg) agree "$f" "$im"; agree "$f" "$gmr" ;;
    *.gif | *.tif) agree "$f" "$im"; agree "$f" "$gmr" ;;
    esac
done
