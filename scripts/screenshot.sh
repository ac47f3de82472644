#!/usr/bin/env bash
# Saves docs/window.png: the window program with the purchase sample
# decoded, as Wine draws it on a 1024x768 virtual desktop (after
# scripts/build-windows.sh; the 64-bit twin runs, as this machine's Wine is
# 64-bit). Chinese text needs a font that has it: Wine is told to fall back
# to WenQuanYi Micro Hei for the faces its windows use.
set -euo pipefail
cd "$(dirname "$0")/.."

build="build-win64"
for needed in "$build/ui/iso8583tool.exe" "$build/ui/trevask.ico" \
  "$build/tests/windows/window_test_driver.exe"; do
  if [ ! -f "$needed" ]; then
    echo "screenshot: $needed is missing; run scripts/build-windows.sh" >&2
    exit 1
  fi
done

. tests/windows/wine_session.sh
start_wine_session 1024x768

registry() { "$WINE64" reg add "$@" /f >/dev/null 2>&1; }
# One virtual desktop as large as the screen, in which Wine draws the title
# bars itself; and Marlett, the font of the title bar buttons.
registry 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
registry 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" System; do
  registry 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei'
done

pose_log="$session_dir/pose.log"
"$WINE64" "$build/tests/windows/window_test_driver.exe" pose_for_screenshot \
  --tool "$build/ui/iso8583tool.exe" --definitions bitmap.ini --icon "$build/ui/trevask.ico" \
  --examples examples --expected "$build/tests/windows/expected" >"$pose_log" 2>&1 &
driver_pid=$!
for _ in $(seq 600); do
  grep -q '^posed' "$pose_log" && break
  kill -0 "$driver_pid" 2>/dev/null || { cat "$pose_log" >&2; exit 1; }
  sleep 0.1
done
if ! grep -q '^posed' "$pose_log"; then
  echo "screenshot: the window never showed the report" >&2
  exit 1
fi

# The screen once two captures in a row agree, so that drawing has ended.
previous="$session_dir/previous.png"
current="$session_dir/current.png"
import -window root "$previous"
for _ in $(seq 50); do
  sleep 0.2
  import -window root "$current"
  cmp -s "$previous" "$current" && break
  mv "$current" "$previous"
done

# The window: 600 wide at left 212, 768 - 40 high at top 0.
mkdir -p docs
convert "$current" -crop 600x728+212+0 +repage -strip \
  -define png:exclude-chunks=date,time docs/window.png
echo "wrote docs/window.png"
