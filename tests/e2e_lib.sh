# Shared by the end-to-end suites, which run the built tool as a user would,
# on real files in a temporary folder, and compare exact output bytes, file
# bytes and exit status. CTest runs a suite as: SUITE TOOL, with O2Z_BANNER
# the file of the banner expected, and for a build that runs under an emulator
# O2Z_RUNNER (wine, wine64, qemu-aarch64 ...) and, for Windows, O2Z_WINDOWS=1.
set -u
tool=$(realpath "$1")
source_dir=$(realpath "$(dirname "${BASH_SOURCE[0]}")")
runner=${O2Z_RUNNER:-}
windows=${O2Z_WINDOWS:-0}
[ "$windows" = 1 ] || [ "$windows" = ON ] || [ "$windows" = TRUE ] && windows=1 || windows=0
work=$(mktemp -d "${TMPDIR:-/tmp}/o2z-e2e.XXXXXX")
# Every process a suite starts in the background is its own to end.
trap 'kill $(jobs -p) 2>/dev/null; chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1
passes=0
failures=0
skipped=()
# Every random choice of a suite comes from this seed; a failing run prints it.
RANDOM=${O2Z_SEED:-1}

BANNER=$(cat "${O2Z_BANNER:?the expected banner, as CTest sets it}" && echo .) && BANNER=${BANNER%.}
HEAD="$BANNER"$'----------\\..........\n\n'
OK='succeed'
NOT_MAP='failed, not a bsp file'
NOT_FOUND='failed, file not found'
NO_WRITE='failed, no write permission'
NO_OPEN='failed, cannot open the file '

pass() { passes=$((passes + 1)); }
fail() { failures=$((failures + 1)); printf 'FAIL: %s\n' "$*"; }
# skip CASE WHY : a case this machine cannot make.
skip() { skipped+=("$1 ($2)"); }

# Where a Windows program sees a path of this system. Wine's winepath now and
# then prints nothing (about one run in 300), so it is asked up to 3 times.
windows_path() {
  local path tries
  for tries in 1 2 3; do path=$($runner winepath -w "$1" 2>/dev/null) && [ -n "$path" ] && break; done
  [ -n "$path" ] && printf '%s\n' "$path"
}

# The text as the platform writes it: CR LF line ends on Windows.
platform_text() {
  if [ "$windows" = 1 ]; then printf '%s' "$1" | sed 's/$/\r/'; else printf '%s' "$1"; fi
}

# tool ARGS... : runs the tool; leaves stdout in out.txt, stderr in err.txt, status in $status.
tool() {
  $runner "$tool" "$@" >"$work/out.txt" 2>"$work/err.txt" </dev/null
  status=$?
}

# expect NAME STATUS TEXT : the last run printed exactly TEXT (LF line ends) and exited STATUS.
# A suite may set encode to a filter that turns the UTF-8 of TEXT into the bytes the tool writes.
encode=cat
expect() {
  platform_text "$3" | $encode >"$work/want.txt"
  if ! cmp -s "$work/want.txt" "$work/out.txt"; then
    fail "$1: output differs (status $status, stderr: $(head -c 200 "$work/err.txt"))"
    diff <(od -c "$work/want.txt") <(od -c "$work/out.txt") | head -20
  elif [ "$status" != "$2" ]; then fail "$1: status $status, want $2"
  elif [ -s "$work/err.txt" ]; then fail "$1: wrote to stderr: $(head -c 200 "$work/err.txt")"
  else pass; fi
}

# expect_lines NAME STATUS NAME-VERDICT-PAIRS... : the banner, separator and one line per pair.
expect_lines() {
  local name=$1 want=$2 text=$HEAD
  shift 2
  while [ $# -gt 0 ]; do text+="Working on file $1 : $2"$'\n'; shift 2; done
  expect "$name" "$want" "$text"
}

# same_bytes NAME FILE WANT-FILE
same_bytes() {
  if cmp -s "$2" "$3"; then pass; else fail "$1: $2 is not as expected"; od -A d -t x1 "$2" | head -5; fi
}

# patched_copy SRC DEST : what a correct patch makes of SRC.
patched_copy() { cp "$1" "$2"; printf '\x2a' | dd of="$2" bs=1 seek=4 conv=notrunc status=none; }

new_map() { printf 'OMAP\x29\x00\x00\x00%s' "${2:-0123456789abcdef}" >"$1"; }

# long_map FILE : FILE as a new map, and verdict, code and want.bsp as a run on it
# leaves them: patched, but untouched where the system cannot tell the file's
# own long name (Wine, at MAX_PATH characters or more): nothing is written without it.
long_map() {
  new_map "$1"; verdict=$OK code=0; patched_copy "$1" want.bsp
  if [ "$windows" = 1 ] && ! $runner "$O2Z_LAUNCHER" --final-name "$(windows_path "$1")" >/dev/null 2>&1; then
    verdict=$NO_OPEN code=1; cp "$1" want.bsp
  fi
}

# finish : the closing lines, and the status of the suite: 77 (skipped) where
# no case could be made here at all; a case skipped alone is only listed.
finish() {
  printf '%d passed, %d failed, %d skipped\n' "$passes" "$failures" "${#skipped[@]}"
  [ ${#skipped[@]} = 0 ] || printf 'skipped: %s\n' "${skipped[@]}"
  [ "$failures" = 0 ] || { echo "seed: ${O2Z_SEED:-1}"; return 1; }
  [ "$passes" -gt 0 ] || return 77
}
