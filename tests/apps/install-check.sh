#!/usr/bin/env bash
# Installs the build into a scratch folder as a Debian package would (prefix /usr) and checks
# that every file lands where the system expects it, that the programs find the engine, and
# that the desktop's validators accept the desktop entry and the AppStream metadata.
# Usage: install-check.sh BUILD_DIR PRIVATE_LIBDIR   (the engine's folder below the prefix)
set -euo pipefail
build=$1
libdir=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail=0
problem() { echo "install-check: $*" >&2; fail=1; }

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null

expected=$(sort <<EOF2
usr/bin/mirravelnock
usr/bin/mvconvert
usr/bin/mvcrypt
usr/$libdir/libmvengine.so
usr/$libdir/mvdecode
usr/$libdir/mvlaunch
usr/share/applications/mirravelnock.desktop
usr/share/doc/mirravelnock/changelog.gz
usr/share/doc/mirravelnock/copyright
usr/share/icons/hicolor/128x128/apps/mirravelnock.png
usr/share/icons/hicolor/16x16/apps/mirravelnock.png
usr/share/icons/hicolor/22x22/apps/mirravelnock.png
usr/share/icons/hicolor/24x24/apps/mirravelnock.png
usr/share/icons/hicolor/256x256/apps/mirravelnock.png
usr/share/icons/hicolor/32x32/apps/mirravelnock.png
usr/share/icons/hicolor/48x48/apps/mirravelnock.png
usr/share/icons/hicolor/64x64/apps/mirravelnock.png
usr/share/icons/hicolor/scalable/apps/mirravelnock.svg
usr/share/man/man1/mirravelnock.1.gz
usr/share/man/man1/mvconvert.1.gz
usr/share/man/man1/mvcrypt.1.gz
usr/share/metainfo/com.example.mirravelnock.metainfo.xml
usr/share/mime/packages/mirravelnock.xml
EOF2
)
actual=$(cd "$root" && find . -type f -printf '%P\n' | sort)
if [[ "$actual" != "$expected" ]]; then
  problem "installed files differ from the expected list:"
  diff <(echo "$expected") <(echo "$actual") >&2 || true
fi

# The programs that load the engine find it where it was installed, and nowhere in the build.
for program in mirravelnock mvcrypt; do
  runpath=$(readelf -d "$root/usr/bin/$program" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
  [[ "$runpath" == "\$ORIGIN/../$libdir" ]] || problem "$program has RUNPATH '$runpath'"
  found=$(LD_LIBRARY_PATH= ldd "$root/usr/bin/$program" | sed -n 's/.*libmvengine.so => \(.*\) (.*/\1/p')
  [[ -n "$found" && $(realpath "$found") == "$root/usr/$libdir/libmvengine.so" ]] ||
    problem "$program finds the engine at '$found', not where it was installed"
done
readelf -d "$root/usr/bin/mvconvert" | grep -q mvengine && problem "mvconvert links the engine"
# Pictures are decoded in the helper only: neither the program nor mvconvert holds a decoder.
for program in mirravelnock mvconvert; do
  nm -C "$root/usr/bin/$program" 2>/dev/null | grep -q 'mv::imaging::decodePictureData' &&
    problem "$program holds the decoders; they belong in the helper"
done
[[ -x "$root/usr/bin/../$libdir/mvdecode" ]] || problem "mvdecode is not in the program's private folder"
# The program looks for its launch helper beside itself, then in its private folder.
[[ -x "$root/usr/bin/../$libdir/mvlaunch" ]] || problem "mvlaunch is not in the program's private folder"

for page in "$root"/usr/share/man/man1/*.gz "$root"/usr/share/doc/mirravelnock/changelog.gz; do
  gzip -t "$page" || problem "$page is not a whole gzip file"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/mirravelnock.desktop" || problem "desktop entry rejected"
else
  echo "install-check: desktop-file-validate not installed; desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic \
    "$root/usr/share/metainfo/com.example.mirravelnock.metainfo.xml" >/dev/null || problem "metainfo rejected"
else
  echo "install-check: appstreamcli not installed; AppStream metadata not validated"
fi
if command -v update-mime-database >/dev/null; then
  update-mime-database "$root/usr/share/mime" >/dev/null 2>&1 || problem "MIME package rejected"
fi
[[ $fail -eq 0 ]] && echo "install-check: every file in place"
exit $fail
