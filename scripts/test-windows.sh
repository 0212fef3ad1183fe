#!/bin/sh
# The Windows program's UI tests: builds TALMIR.exe and the test driver,
# lets the native talmirc compile the same sources for the expected files,
# then runs the driver against TALMIR.exe under Xvfb and wine (one wine
# prefix for the whole run). With --shots it also renews the screenshots
# under docs/.
set -e
cd "$(dirname "$0")/.."
top=$PWD
shots=0
[ "${1:-}" = "--shots" ] && { shots=1; shift; }
scripts/build-windows.sh >/dev/null
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" --target talmirc >/dev/null

run=$(mktemp -d /tmp/talmir-ui.XXXXXX)
export WINEPREFIX="$run/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$run/root/src" "$run/root/expected"
cp examples/ampel.sqx tests/ui/fehler.sqx "$run/root/src/"
[ -f build-win/tlm_hilfe_V44.chm ] && cp build-win/tlm_hilfe_V44.chm "$run/root/src/"
for name in ampel fehler; do
  # The program's defaults without a settings file: ZIRKO L2, ESPRESSO.
  mkdir -p "$run/talmirc"
  cp "$run/root/src/$name.sqx" "$run/talmirc/"
  (cd "$run/talmirc" && "$top/build/talmirc" --plc ZIRKO --min ESPRESSO "$name.sqx" \
     >"$run/root/expected/$name.log" 2>/dev/null) || true
  cp "$run/talmirc/$name.ZW" "$run/talmirc/$name.ERR" "$run/root/expected/" 2>/dev/null || true
done

display=""
for n in 91 92 93 94 95 96 97 98 99; do
  if [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$run"
}
trap cleanup EXIT
export DISPLAY="$display"
sleep 1
wineboot -i >/dev/null 2>&1 || true

winpath() { echo "Z:$1" | tr / '\\'; }
exe=$(winpath "$top/build-win/TALMIR.exe")
root=$(winpath "$run/root")
status=0
timeout 540 wine "$top/build-win/talmir_ui_driver.exe" "$exe" "$root" "$@" || status=$?

if [ "$shots" = 1 ]; then
  # Frames and captions need a window manager; wine's desktop draws them.
  (
    cd "$run/root"
    for shot in main-and-log errors-view find-dialog; do
      while [ ! -e "$shot.ready" ]; do sleep 0.2; done
      sleep 0.5
      import -window root "$top/docs/$shot.png"
      : >"$shot.done"
    done
  ) &
  poser=$!
  timeout 120 wine explorer /desktop=TALMIR,1000x640 "$top/build-win/talmir_ui_driver.exe" \
    "$exe" "$root" shots || status=$?
  wait "$poser" || true
  for shot in main-and-log errors-view find-dialog; do
    [ -f "docs/$shot.png" ] && mogrify -crop 1000x640+0+0 +repage "docs/$shot.png"
  done
fi
exit $status
