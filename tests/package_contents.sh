#!/usr/bin/env bash
# Builds the Debian package from the build tree into a temporary folder and checks what is
# in it: the program, its desktop entry, AppStream data and icons, and the package fields.
set -euo pipefail
build_dir=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$build_dir"
cpack -G DEB -B "$out" >/dev/null
deb=$(ls "$out"/glimmerage_*.deb)
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
id=io.github.glimmerage.Glimmerage
expected=(
  ./usr/bin/glimmerage
  ./usr/share/applications/$id.desktop
  ./usr/share/metainfo/$id.metainfo.xml
  ./usr/share/icons/hicolor/scalable/apps/$id.svg
)
for size in 16 32 48 64 128 256; do expected+=(./usr/share/icons/hicolor/${size}x${size}/apps/$id.png); done
status=0
for path in "${expected[@]}"; do
  grep -qxF "$path" <<<"$contents" || { echo "missing from the package: $path"; status=1; }
done
fields=$(dpkg-deb -f "$deb" Section Depends Recommends)
grep -q '^Section: graphics$' <<<"$fields" || { echo "section is not graphics"; status=1; }
grep -q 'libqt6widgets6' <<<"$fields" || { echo "no dependency on the Qt widgets library"; status=1; }
grep -q '^Recommends: .*qt6-image-formats-plugins' <<<"$fields" || { echo "image-format plugins not recommended"; status=1; }
exit $status
