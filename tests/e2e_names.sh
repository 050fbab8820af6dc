#!/usr/bin/env bash
# End-to-end suite for a Windows build under Wine, in one ANSI code page
# (O2Z_CODEPAGE=1252 or 932): every name reaches exactly its own file,
# whatever characters it holds and whatever the code page can show, and the
# command line is read as the system reads it. Run as: e2e_names.sh TOOL
# with O2Z_RUNNER=wine, O2Z_WINDOWS=1 and O2Z_LAUNCHER=path of launch.exe.
source "$(dirname "$0")/e2e_lib.sh"

cp=${O2Z_CODEPAGE:?}
case $cp in
1252) export LANG=en_US.UTF-8 ;;
932) export LANG=ja_JP.UTF-8 ;;
*) echo "no locale for code page $cp"; exit 1 ;;
esac
unset LC_ALL
# The prefix of this code page, beside the build's own (tools/wine-session).
export WINEPREFIX="${WINEPREFIX:?made by the Wine fixture of the tests}-cp$cp" WINEDEBUG=-all

# Redirected, the report is in the ANSI code page, with "?" for what it lacks.
# (Where code page 932 has two codes for U+FF02, Windows writes 0xFA57.)
to_code_page() {
  python3 -c 'import sys
text = sys.stdin.buffer.read().decode().encode(sys.argv[1], "replace")
sys.stdout.buffer.write(text.replace(b"\xee\xfc", b"\xfa\x57") if sys.argv[1] == "cp932" else text)' "cp$cp"
}
encode=to_code_page
[ "$(printf 'ソ' | to_code_page | od -A n -t x1)" = "$([ "$cp" = 932 ] && echo ' 83 5c' || echo ' 3f')" ] ||
  { echo "code page $cp is not in effect"; exit 1; }

# launch LINE : runs the tool with exactly LINE (UTF-8) as its command line.
launch() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE >"$work/line.bin" && launch_line_bin; }
# launch_line_bin : the same, with the UTF-16LE line already in line.bin.
launch_line_bin() {
  $runner "$O2Z_LAUNCHER" "$(windows_path "$tool")" "$(windows_path "$work/line.bin")" \
    >"$work/out.txt" 2>"$work/err.txt" </dev/null
  status=$?
}

# --- names outside the code page, and look-alikes of them -------------------------
new_map łódź.bsp; new_map マップ.bsp; new_map lódz.bsp; cp lódz.bsp lookalike.orig
patched_copy łódź.bsp want.bsp
tool łódź マップ
expect_lines "names outside the code page" 0 łóDź.BSP "$OK" マップ.BSP "$OK"
same_bytes "Polish name" łódź.bsp want.bsp
same_bytes "Japanese name" マップ.bsp want.bsp
same_bytes "look-alike untouched" lódz.bsp lookalike.orig

# A fullwidth quote and backslash are letters of one name, not syntax.
mkdir pack; new_map victim.bsp; cp victim.bsp victim.orig
odd='a＂ ..＼victim.bsp ＂.bsp'
new_map "pack/$odd"; patched_copy "pack/$odd" want.bsp
(cd pack && $runner "$tool" "$odd" >"$work/out.txt" 2>"$work/err.txt" </dev/null); status=$?
expect_lines "fullwidth quote and backslash" 0 'A＂ ..＼VICTIM.BSP ＂.BSP' "$OK"
same_bytes "fullwidth name" "pack/$odd" want.bsp
same_bytes "file outside the folder untouched" victim.bsp victim.orig

# --- double-byte characters: no byte of one is a slash or a letter -----------------
new_map ソ.bsp; new_map 表.bsp; new_map エ.bsp; cp エ.bsp other.orig
patched_copy ソ.bsp want.bsp
tool ソ 表 ト
expect_lines "double-byte names" 1 ソ.BSP "$OK" 表.BSP "$OK" ト.BSP "$NOT_FOUND"
same_bytes "trail byte 0x5C" ソ.bsp want.bsp
same_bytes "trail byte 0x5C, no BSP" 表.bsp want.bsp
same_bytes "a different name untouched" エ.bsp other.orig
new_map ト.bsp; patched_copy ト.bsp want.bsp
tool ト
expect_lines "trail byte a letter" 0 ト.BSP "$OK"
same_bytes "trail byte a letter" ト.bsp want.bsp
same_bytes "a different name still untouched" エ.bsp other.orig

# --- the program's word, as the system reads it -------------------------------------
mkdir 'my maps' maps; new_map 'my maps/e1m1.bsp'; new_map maps/e1m1.bsp; new_map e1m1.bsp
cp maps/e1m1.bsp unnamed.orig; patched_copy e1m1.bsp want.bsp
launch '"C:\my tools\"olum2zavik.exe "my maps\e1m1"'
expect_lines "quoted folder ending in a backslash" 0 'MY MAPS\E1M1.BSP' "$OK"
same_bytes "a map not named untouched" maps/e1m1.bsp unnamed.orig
launch '"C:\my tools\"olum2zavik.exe e1m1'
expect_lines "one name after such a program word" 0 E1M1.BSP "$OK"
new_map e2m2.bsp
launch $'  e1m1\te2m2'
expect_lines "line that starts with blanks" 0 E1M1.BSP "$OK" E2M2.BSP "$OK"
# An unpaired surrogate names nothing here, and shows as "?".
printf 'o\0 \0\x00\xd8x\0' >"$work/line.bin"
launch_line_bin
expect_lines "unpaired surrogate" 1 '?X.BSP' "$NOT_FOUND"

# --- a drive prefix is no part of the last component --------------------------------
printf 'dot file\n' >.bsp; cp .bsp dot.orig
tool Z: Z:.bsp
expect_lines "drive prefix" 1 Z:.BSP "$NOT_MAP" Z:.BSP.BSP "$NOT_FOUND"
same_bytes "dot file untouched" .bsp dot.orig

# --- long paths ---------------------------------------------------------------------
long_dir=$(printf 'd%.0s' $(seq 1 200)); long_file=$(printf 'f%.0s' $(seq 1 100))
mkdir "$long_dir"
for prefix in '\\?\' '\\.\'; do
  given="$prefix$(windows_path "$work")\\$long_dir\\$long_file"; long_map "$long_dir/$long_file.bsp"
  tool "$given"
  expect_lines "long path given with $prefix" $code "${given^^}.BSP" "$verdict"
  same_bytes "long path with $prefix" "$long_dir/$long_file.bsp" want.bsp
done
tool "$long_dir\\$long_file\\con" "$long_dir\\$long_file\\nul.bsp" "$long_dir\\$long_file\\com1.bsp"
expect_lines "devices in a long path" 1 "${long_dir^^}\\${long_file^^}\\CON.BSP" "$NO_OPEN" \
  "${long_dir^^}\\${long_file^^}\\NUL.BSP" "$NO_OPEN" "${long_dir^^}\\${long_file^^}\\COM1.BSP" "$NO_OPEN"

# --- a short name reaches a file whose own name decides --------------------------------
printf 'keep me intact\n' >mapfile.bsp2; cp mapfile.bsp2 keep.orig
short=$($runner "$O2Z_LAUNCHER" --short-name "$(windows_path "$work/mapfile.bsp2")")
short=${short##*\\}
tool "$short"
expect_lines "short name of a file that is no map" 1 "$short" "$NO_OPEN"
same_bytes "short name: file untouched" mapfile.bsp2 keep.orig

# --- a console shows every name as typed ----------------------------------------------
if command -v script >/dev/null; then
  new_map café.bsp; new_map łódź.bsp
  script -qec "$(printf '%q ' $runner "$tool" café łódź)" /dev/null </dev/null >"$work/console.txt" 2>&1
  # The terminal's own escapes and carriage returns aside (a blank may come as
  # "one column on"), the text is the same.
  sed 's/\x1b\[1C/ /g; s/\x1b\[[0-9;?]*[a-zA-Z]//g; s/\r//g' "$work/console.txt" >"$work/out.txt"
  grep -q 'Working on file CAFé.BSP : succeed' "$work/out.txt" &&
    grep -q 'Working on file łóDź.BSP : succeed' "$work/out.txt" && pass ||
    { fail "console: names not shown as typed"; head -c 600 "$work/out.txt" | od -c | tail -12; }
else
  skip "console" "no script(1) for a pseudo-terminal"
fi

finish
