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

# console HOW LINE : runs the launcher's console mode with exactly LINE as the
# tool's command line; its output in out.txt.
console() {
  printf '%s' "$2" | iconv -f UTF-8 -t UTF-16LE >"$work/line.bin"
  $runner "$O2Z_LAUNCHER" --console "$1" "$(windows_path "$tool")" "$(windows_path "$work/line.bin")" \
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
  "$PROMPT" 'then ended 1'
same_bytes "dropped map patched" e1m1.bsp want.bsp
console shown 'olum2zavik.exe'
shows "double-click" waited '__ __Olum2Zavik --- -' "$PROMPT" 'then ended 2'

# --- hidden, or shared with a shell: never waits --------------------------------------
console hidden 'olum2zavik.exe e1m1'
shows "hidden window" 'ended 0'
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
