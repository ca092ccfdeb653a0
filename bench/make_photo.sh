#!/usr/bin/env bash
# Writes a 24-megapixel JPEG (6000 x 4000, quality 90) to the path given, for the benchmarks;
# another size when a width and height follow the path.
set -euo pipefail
out=$1
width=${2:-6000}
height=${3:-4000}
ppm=$(mktemp)
trap 'rm -f "$ppm"' EXIT
# A gradient with noise: 64 distinct rows, cycled, so perl stays quick.
perl -e '
  my ($w, $h) = @ARGV;
  srand(1);
  my @rows;
  for my $r (0 .. 63) {
    my $row = "";
    for my $x (0 .. $w - 1) {
      my $n = int(rand(48)) - 24;
      my $g = int($x * 255 / ($w - 1));
      $row .= pack("C3", clamp($g + $n), clamp($r * 4 - $n), clamp(128 + $n / 2));
    }
    push @rows, $row;
  }
  sub clamp { my $v = shift; $v < 0 ? 0 : $v > 255 ? 255 : $v }
  binmode STDOUT;
  print "P6\n$w $h\n255\n";
  print $rows[($_ * 7) % 64] for 0 .. $h - 1;
' "$width" "$height" > "$ppm"
cjpeg -quality 90 -outfile "$out" "$ppm"
