#!/usr/bin/env bash
# End-to-end suite for a Windows build under Wine with a display server, as
# Windows users run the tool: in a console window of its own (drag and drop, a
# double-click), hidden (a scheduled task), in a console shared with a shell,
# and piped to a console program. Run as: e2e_console.sh TOOL with
# O2Z_RUNNER=wine, O2Z_WINDOWS=1 and O2Z_LAUNCHER=path of launch.exe.
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a bash "$0" "$@"
fi
source "$(dirname "$0")/e2e_lib.sh"
if [ -z "${DISPLAY:-}" ]; then
  skip "every case" "no display server (xvfb-run)"
  finish
  exit
fi

# A prefix of its own, made under this display: Wine's desktop process keeps
# the display it started with. Code page 1252, whose consoles use 437.
export LANG=en_US.UTF-8 WINEPREFIX=$work/wine
unset LC_ALL
bash "$source_dir/../tools/wine-session" start "$WINEPREFIX" "$runner" 1252 || exit 1
trap 'bash "$source_dir/../tools/wine-session" stop "$WINEPREFIX"; kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT

# console HOW LINE [KEYS] : runs the launcher's console mode with exactly LINE
# as the tool's command line, and KEYS pressed once it waits; its output in out.txt.
console() {
  printf '%s' "$2" | iconv -f UTF-8 -t UTF-16LE >"$work/line.bin"
  $runner "$O2Z_LAUNCHER" --console "$1" "$(windows_path "$tool")" "$(windows_path "$work/line.bin")" ${3:-} \
    >"$work/out.txt" 2>"$work/err.txt" </dev/null
  status=$?
}
# shows NAME TEXT... : each TEXT is a line of the window the launcher read.
shows() {
  local name=$1 line
  shift
  for line in "$@"; do grep -qxF -- "$line" "$work/out.txt" || { fail "$name: no line '$line'"; cat "$work/out.txt"; return; }; done
  pass
}

PROMPT='Press any key to close this window . . .'
new_map e1m1.bsp; patched_copy e1m1.bsp want.bsp

# --- a window of its own waits for a key after the report ---------------------------
console shown 'olum2zavik.exe e1m1 missing'
shows "dropped maps" waited 'Working on file E1M1.BSP : succeed' 'Working on file MISSING.BSP : failed, file not found' \
  "$PROMPT" 'then ended 1, 0 unread'
same_bytes "dropped map patched" e1m1.bsp want.bsp
console shown 'olum2zavik.exe'
shows "double-click" waited '__ __Olum2Zavik --- -' "$PROMPT" 'then ended 2, 0 unread'
# Modifier, lock and function keys, Alt+Tab, Ctrl+A and a change of focus
# leave the report on screen; the letter after them ends the wait. A
# Ctrl+Break ends it at once, and the run's status stands.
console shown 'olum2zavik.exe e1m1 missing' others
shows "keys that type nothing" waited "$PROMPT" 'then ended 1, 0 unread'
# An interrupt (Ctrl+Break, Ctrl+C, the window closing) during the wait ends
# the tool at once, and the run's status stands. Wine hands SIGINT to the tool
# as Ctrl+C; it sends no console event from one program to another.
rm -f "$work/out.txt"
console shown 'olum2zavik.exe e1m1 missing' none &
until grep -q '^waited' "$work/out.txt" 2>/dev/null || ! kill -0 $! 2>/dev/null; do sleep 0.1; done
pkill -INT -f '^olum2zavik\.exe e1m1 missing$'
wait $!
shows "interrupt during the wait" waited "$PROMPT" 'then ended 1, 0 unread'

# --- hidden, minimized, or shared with a shell: never waits -----------------------------
console hidden 'olum2zavik.exe e1m1'
shows "hidden window" 'ended 0'
console minimized 'olum2zavik.exe e1m1'
shows "minimized window" 'ended 0'
cmd=$(windows_path "$WINEPREFIX/drive_c/windows/system32/cmd.exe")
printf '%s' "cmd /c $(windows_path "$tool") e1m1" | iconv -f UTF-8 -t UTF-16LE >"$work/line.bin"
$runner "$O2Z_LAUNCHER" --console shown "$cmd" "$(windows_path "$work/line.bin")" >"$work/out.txt" 2>&1 </dev/null
shows "window shared with cmd" 'ended 0'

# --- piped to a console program: the console's code page ------------------------------
new_map café.bsp
console piped 'olum2zavik.exe café'
encode="iconv -f UTF-8 -t CP437"
expect_lines "pipe read by a console program" 0 CAFé.BSP "$OK"

finish
