#!/usr/bin/env bash
# Builds the Debian package from the build folder, unpacks it into a scratch
# root, and checks what a user gets: the files in their places, the
# dependencies, and an installed program that starts and ends cleanly.
# Usage: debian_package_test.sh <build folder>
set -euo pipefail
build=$1
work=$(mktemp -d)
program=
cleanup() {
  [ -n "$program" ] && kill -KILL "$program" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >/dev/null) \
  || fail "cpack could not build the package"
deb=$(ls "$work"/out/tovrimo_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no tovrimo_*.deb was made"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libqt6svg6 fonts-arphic-ukai fonts-arphic-uming; do
  [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
for file in usr/bin/tovrimo \
            usr/share/applications/org.tovrimo.Tovrimo.desktop \
            usr/share/icons/hicolor/scalable/apps/org.tovrimo.Tovrimo.svg \
            usr/share/metainfo/org.tovrimo.Tovrimo.metainfo.xml; do
  [ -f "$root/$file" ] || fail "the package lacks /$file"
done
desktop-file-validate "$root/usr/share/applications/org.tovrimo.Tovrimo.desktop" \
  || fail "the installed desktop entry is not valid"

# The installed program has no DATA beside it: its data goes to the
# per-user location, created on the first start.
home=$work/home
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"
env -i PATH="$PATH" HOME="$home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
  "$root/usr/bin/tovrimo" 2>"$work/stderr" &
program=$!
settings=$home/.local/share/tovrimo/DATA/peizhi.ini
for _ in $(seq 1 150); do
  [ -s "$settings" ] && break
  kill -0 "$program" 2>/dev/null || fail "the installed program ended at start: $(cat "$work/stderr")"
  sleep 0.1
done
[ -s "$settings" ] || fail "the installed program did not store its window size in $settings"
kill -TERM "$program"
code=0
wait "$program" || code=$?
program=
[ "$code" -eq 0 ] || fail "the installed program ended with $code on SIGTERM: $(cat "$work/stderr")"
[ "$(stat -c %a "$home/.local/share/tovrimo/DATA")" = 700 ] || fail "the data directory is not private"
echo "package $(basename "$deb") installs and runs"
