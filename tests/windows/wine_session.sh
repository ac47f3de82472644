# shellcheck shell=bash
# Sourced by the scripts that run the window program under Wine. After
#   start_wine_session WIDTHxHEIGHT
# a private Xvfb screen of that size and a fresh 64-bit Wine prefix in a
# temporary folder are ready, with DISPLAY, WINEPREFIX, WINEDEBUG and a
# non-Chinese locale exported; both are stopped and removed when the shell
# exits. WINE64 names the loader for Windows programs.

WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}

stop_wine_session() {
  # Ends this prefix's Wine processes, all of which this session started.
  [ -z "${WINEPREFIX:-}" ] || "$WINESERVER" -k 2>/dev/null || true
  [ -z "${xvfb_pid:-}" ] || { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null || true; }
  [ -z "${session_dir:-}" ] || rm -rf "$session_dir"
}

start_wine_session() {
  session_dir=$(mktemp -d "${TMPDIR:-/tmp}/iso8583-wine.XXXXXX")
  trap stop_wine_session EXIT
  trap 'exit 130' INT TERM

  # Xvfb writes its display number once it accepts clients.
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp \
    3>"$session_dir/display" 2>"$session_dir/xvfb.log" &
  xvfb_pid=$!
  local waited=0
  until [ -s "$session_dir/display" ]; do
    if ! kill -0 "$xvfb_pid" 2>/dev/null || [ "$waited" -ge 300 ]; then
      echo "Xvfb did not start:" >&2
      cat "$session_dir/xvfb.log" >&2
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  DISPLAY=":$(cat "$session_dir/display")"
  export DISPLAY

  export WINEPREFIX="$session_dir/prefix"
  # Wine's server keeps its socket in a folder of the temporary folder.
  export TMPDIR="$session_dir"
  export WINEDEBUG=-all
  # No Mono or Gecko: nothing here needs them, and asking for them is slow.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=C.UTF-8 LC_ALL=C.UTF-8
  unset LANGUAGE

  # A persistent server keeps Wine's own background programs running from
  # the prefix's creation on, so that no test starts them and has them hold
  # its output open.
  mkdir -p "$WINEPREFIX"
  "$WINESERVER" -p
  echo "creating a fresh Wine prefix"
  "$WINE64" wineboot --init >"$session_dir/wineboot.log" 2>&1 || {
    cat "$session_dir/wineboot.log" >&2
    return 1
  }
  # With no window manager on the screen, windows that Wine leaves to one
  # wait two seconds for it at every hide; Wine manages them itself instead.
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}
