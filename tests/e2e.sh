#!/usr/bin/env bash
# End-to-end suite: every verdict, the name rules and the lost-output cases.
source "$(dirname "$0")/e2e_lib.sh"

# --- usage: the program by its own path, not as it was started -------------------
if [ "$windows" = 1 ]; then tool; self=$(windows_path "$tool")
else ln -s "$tool" o2z; $runner ./o2z >out.txt 2>err.txt </dev/null; status=$?; self=$tool; fi
expect usage 2 "$BANNER"$'\n'"usage : $self <file[.bsp]> [<file[.bsp]>] [...]"$'\n'

# --- name rules and verdicts ---------------------------------------------------
new_map e1m1.bsp; patched_copy e1m1.bsp want.bsp
tool e1m1
expect_lines "lower-case map by bare name" 0 E1M1.BSP "$OK"
same_bytes "lower-case map" e1m1.bsp want.bsp

printf 'just notes\n' >notes.txt; cp notes.txt notes.orig
tool notes.txt
expect_lines "not a map name" 1 NOTES.TXT "$NOT_MAP"
same_bytes "notes untouched" notes.txt notes.orig

for f in bsp_notes.txt e1m1.bsp.bak E1M1.; do printf 'keep me intact\n' >"$f"; done
cp bsp_notes.txt keep.orig
tool bsp_notes.txt e1m1.bsp.bak e1m1. ""
expect_lines "tag outside the extension" 1 BSP_NOTES.TXT "$NOT_MAP" E1M1.BSP.BAK "$NOT_MAP" E1M1. "$NOT_MAP" .BSP "$NOT_MAP"
for f in bsp_notes.txt e1m1.bsp.bak E1M1.; do same_bytes "refused $f untouched" "$f" keep.orig; done

new_map e1m2.bsp
tool missing e1m2 e1m2.BSP
expect_lines "missing file, then a map named twice" 1 MISSING.BSP "$NOT_FOUND" E1M2.BSP "$OK" E1M2.BSP "$OK"

mkdir -p maps maps.v2 up/down
new_map maps/e1m3.bsp; patched_copy maps/e1m3.bsp want3.bsp
new_map maps.v2/e1m4.bsp; patched_copy maps.v2/e1m4.bsp want4.bsp
(cd up/down && $runner "$tool" ../../maps/e1m3.bsp >"$work/out.txt" 2>"$work/err.txt" </dev/null); status=$?
expect_lines "dot-dot path with extension" 0 ../../MAPS/E1M3.BSP "$OK"
same_bytes "dot-dot path" maps/e1m3.bsp want3.bsp
tool maps.v2/e1m4
expect_lines "dot in a directory name" 0 MAPS.V2/E1M4.BSP "$OK"
same_bytes "dot in a directory" maps.v2/e1m4.bsp want4.bsp

printf '' >s0.bsp; printf 'abc' >s3.bsp; printf 'abcde' >s5.bsp
tool s0 s3 s5
expect_lines "short files" 0 S0.BSP "$OK" S3.BSP "$OK" S5.BSP "$OK"
printf '\0\0\0\0\x2a' >want.bsp; same_bytes "0-byte file" s0.bsp want.bsp
printf 'abc\0\x2a' >want.bsp; same_bytes "3-byte file" s3.bsp want.bsp
printf 'abcd\x2a' >want.bsp; same_bytes "5-byte file" s5.bsp want.bsp

new_map ro.bsp; chmod 444 ro.bsp; cp ro.bsp ro.orig
tool ro
expect_lines "read-only map, even for root" 1 RO.BSP "$NO_WRITE"
same_bytes "read-only untouched" ro.bsp ro.orig

mkdir dir.bsp
tool dir
expect_lines "directory" 1 DIR.BSP "$NO_OPEN"

new_map Mixed.Bsp; patched_copy Mixed.Bsp want.bsp
tool mixed
expect_lines "mixed case on disk" 0 MIXED.BSP "$OK"
same_bytes "mixed case" Mixed.Bsp want.bsp

# --- links from a map pack: only a file whose own name is a map is written ----------
mkdir -p pack home outside
printf '# ~/.bashrc\n' >home/.bashrc; printf 'notes\n' >outside/notes.txt; printf 'parent\n' >parent.txt
for f in home/.bashrc outside/notes.txt parent.txt; do cp "$f" "$f.orig"; done
new_map outside/e2m1.bsp; patched_copy outside/e2m1.bsp want.bsp
ln -s ../home/.bashrc pack/e1m4.bsp; ln -s "$work/outside/notes.txt" pack/abs.bsp; ln -s ../parent.txt pack/up.bsp
ln -s ../outside/e2m1.bsp pack/deployed.bsp; ln -s ../outside pack/linked
tool pack/e1m4 pack/abs pack/up pack/deployed pack/linked/e2m1
expect_lines "links from a map pack" 1 PACK/E1M4.BSP "$NO_OPEN" PACK/ABS.BSP "$NO_OPEN" PACK/UP.BSP "$NO_OPEN" \
  PACK/DEPLOYED.BSP "$OK" PACK/LINKED/E2M1.BSP "$OK"
for f in home/.bashrc outside/notes.txt parent.txt; do same_bytes "link target that is no map" "$f" "$f.orig"; done
same_bytes "map reached by links" outside/e2m1.bsp want.bsp

# An argument of over 260 bytes without extension gets it like a short one.
long_dir=$(printf 'd%.0s' $(seq 1 200)); long_file=$(printf 'f%.0s' $(seq 1 100))
mkdir "$long_dir"; long_map "$long_dir/$long_file.bsp"
tool "$long_dir/$long_file"
expect_lines "long name" $code "${long_dir^^}/${long_file^^}.BSP" "$verdict"
same_bytes "long name" "$long_dir/$long_file.bsp" want.bsp

# A name shorter than the system's path limit whose full path is longer.
mkdir "$long_dir/$long_file"
long_map "$long_dir/$long_file/short.bsp"
(cd "$long_dir" && $runner "$tool" "$long_file/short" >"$work/out.txt" 2>"$work/err.txt" </dev/null); status=$?
expect_lines "long full path" $code "${long_file^^}/SHORT.BSP" "$verdict"
same_bytes "long full path" "$long_dir/$long_file/short.bsp" want.bsp

# A map of 5 GiB is patched in place without being read or filled in.
truncate -s 5G big.bsp
tool big
expect_lines "sparse 5 GiB map" 0 BIG.BSP "$OK"
if [ "$(stat -c %s big.bsp)" = 5368709120 ] && [ "$(od -A n -t x1 -j 3 -N 3 big.bsp)" = " 00 2a 00" ] &&
  [ "$(stat -c %b big.bsp)" -lt 1024 ]; then pass; else fail "sparse map: size, byte or allocation changed"; fi
rm -f big.bsp

# Output that cannot be written never stops the batch, and never lands in a map.
many=(); for i in $(seq 1 500); do many+=("lost_output_$i"); done
fresh_many() { for m in "${many[@]}"; do new_map "$m.bsp"; done; }
fresh_many; patched_copy "${many[0]}.bsp" want.bsp
want_sum=$(md5sum <want.bsp | cut -d' ' -f1)
# all_many_patched NAME : every one of the maps is exactly patched, and nothing went to stderr.
all_many_patched() {
  local sums
  sums=$(md5sum lost_output_*.bsp | cut -d' ' -f1 | sort -u)
  if [ "$status" = 1 ] && [ "$sums" = "$want_sum" ] && [ ! -s "$work/err.txt" ]; then pass
  else fail "$1: status $status, maps not all exactly patched"; head -c 300 "$work/err.txt"; fi
}
$runner "$tool" "${many[@]}" >/dev/full 2>"$work/err.txt" </dev/null; status=$?
all_many_patched "stdout on /dev/full"
fresh_many
exec {dead}> >(true)
wait $!  # the pipe's only reader has gone before the tool starts
$runner "$tool" "${many[@]}" >&$dead 2>"$work/err.txt" </dev/null; status=$?
exec {dead}>&-
all_many_patched "reader that quit"
fresh_many
$runner "$tool" "${many[@]}" >&- 2>"$work/err.txt" </dev/null; status=$?
all_many_patched "stdout closed outright"
rm -f lost_output_*.bsp

# The report appended to the very map it names, by this shell or (on
# Windows) by cmd: that file is never patched.
new_map e1m9.orig
for shell in bash $([ "$windows" = 1 ] && echo cmd); do
  cp e1m9.orig e1m9.bsp
  if [ $shell = cmd ]; then $runner cmd /c "$(windows_path "$tool") e1m9 >> e1m9.bsp" 2>"$work/err.txt" </dev/null
  else $runner "$tool" e1m9 >>e1m9.bsp 2>"$work/err.txt" </dev/null; fi
  status=$?; tail -c +25 e1m9.bsp >out.txt; head -c 24 e1m9.bsp >e1m9.head
  expect_lines "report appended to the map by $shell" 1 E1M9.BSP "$NO_OPEN"
  same_bytes "map that takes the report" e1m9.head e1m9.orig
done

if [ "$windows" = 1 ]; then
  # --- Windows only ------------------------------------------------------------
  tool con nul.bsp COM1.BSP
  expect_lines "reserved device names" 1 CON.BSP "$NO_OPEN" NUL.BSP "$NO_OPEN" COM1.BSP "$NO_OPEN"
  # A path into the system's object space reaches a drive's file, and is
  # refused where it leads elsewhere, by its text or by its full path.
  new_map e1m5.bsp; patched_copy e1m5.bsp want.bsp; here=$(windows_path "$work"); slashed=${here//\\//}
  tool "\\??\\$here\\e1m5" "//?/$slashed/e1m5.bsp" '\\.\C:\..\PIPE\X.BSP' '\\?\GLOBALROOT\Device\Null.bsp'
  expect_lines "paths into the object space" 1 "\\??\\${here^^}\\E1M5.BSP" "$OK" "//?/${slashed^^}/E1M5.BSP" "$OK" \
    '\\.\C:\..\PIPE\X.BSP' "$NO_OPEN" '\\?\GLOBALROOT\DEVICE\NULL.BSP' "$NO_OPEN"
  same_bytes "map named in the object space" e1m5.bsp want.bsp
  # A folder that tells letter case apart (as Wine's are, where both names are
  # there): the name as typed comes first.
  new_map case.bsp; new_map CASE.BSP; cp CASE.BSP case.orig; patched_copy case.bsp want.bsp
  tool case
  expect_lines "folder that tells case apart" 0 CASE.BSP "$OK"
  same_bytes "the file typed" case.bsp want.bsp
  same_bytes "the other one untouched" CASE.BSP case.orig
else
  # --- POSIX only --------------------------------------------------------------
  new_map amb.Bsp; new_map AMB.bsp; cp amb.Bsp amb.orig
  tool Amb
  expect_lines "ambiguous case match" 1 AMB.BSP "$NOT_FOUND"
  same_bytes "ambiguous untouched" amb.Bsp amb.orig
  same_bytes "ambiguous untouched" AMB.bsp amb.orig
  new_map AMB.BSP; patched_copy AMB.BSP want.bsp
  tool Amb
  expect_lines "one exact match among several" 0 AMB.BSP "$OK"
  same_bytes "exact match" AMB.BSP want.bsp
  same_bytes "others untouched" amb.Bsp amb.orig

  # A backslash is a byte of a name here, not a separator.
  new_map 'x\.bsp'; patched_copy 'x\.bsp' want.bsp
  printf 'keep me intact\n' >'a.b\c.bsp'; cp 'a.b\c.bsp' keep.orig
  tool 'a.b\c' 'x\.bsp'
  expect_lines "backslash as a byte of a name" 1 'A.B\C' "$NOT_MAP" 'X\.BSP' "$OK"
  same_bytes "backslash before the dot" 'x\.bsp' want.bsp
  same_bytes "backslash after the dot untouched" 'a.b\c.bsp' keep.orig

  mkfifo fifo.bsp
  timeout 10 $runner "$tool" fifo >"$work/out.txt" 2>"$work/err.txt" </dev/null; status=$?
  expect_lines "FIFO without a reader" 1 FIFO.BSP "$NO_OPEN"
  ln -s /dev/null null.bsp
  tool null
  expect_lines "link to a device" 1 NULL.BSP "$NO_OPEN"
  ln -s nowhere.bsp dangling.bsp; ln -s loop.bsp loop.bsp
  tool dangling loop
  expect_lines "dangling link, link loop" 1 DANGLING.BSP "$NOT_FOUND" LOOP.BSP "$NOT_FOUND"
  # Two links whose texts together outgrow one path: each is read from its own folder.
  dots=$(printf './%.0s' $(seq 1 1500)); new_map outside/e2m2.bsp; patched_copy outside/e2m2.bsp want.bsp
  ln -s "${dots}lt2.bsp" pack/lt1.bsp; ln -s "${dots}../outside/e2m2.bsp" pack/lt2.bsp
  tool pack/lt1
  expect_lines "a chain of links longer than a path" 0 PACK/LT1.BSP "$OK"
  same_bytes "map at the end of a long chain" outside/e2m2.bsp want.bsp
  # A link to the tool's own output, whether its file is named like a map or not.
  ln -s /proc/self/fd/1 pack/stdout.bsp
  for log in log.txt log.bsp; do
    printf 'LOG-LINE-1\n' >$log; cp $log log.orig
    (cd pack && $runner "$tool" stdout >>"$work/$log" 2>"$work/err.txt" </dev/null); status=$?
    head -c 11 $log >out.txt
    [ "$status" = 1 ] && cmp -s out.txt log.orig && grep -q "STDOUT.BSP : $NO_OPEN" $log && pass ||
      fail "link to standard output in $log: status $status, log $(head -c 20 $log | od -c | head -2)"
  done
  (cd pack && exec $runner "$tool" stdout 2>"$work/err.txt" </dev/null) | cat >"$work/out.txt"; status=${PIPESTATUS[0]}
  expect_lines "link to standard output on a pipe, whose text names no file" 1 STDOUT.BSP "$NO_OPEN"

  # Dates past 2038 (archives and FAT cards carry them), and a folder's far past 2262.
  mkdir Dated; new_map Dated/e2m1.bsp; patched_copy Dated/e2m1.bsp want.bsp
  touch -d 2040-01-01 Dated/e2m1.bsp; touch -d 2300-01-01 Dated
  tool dated/E2M1
  expect_lines "map dated 2040 in a folder dated 2300" 0 DATED/E2M1.BSP "$OK"
  same_bytes "map dated 2040" Dated/e2m1.bsp want.bsp

  # The usage text names the program by its whole path, however long.
  deep_tool="$work/$long_dir/$long_file/olum2zavik"
  cp "$tool" "$deep_tool"
  $runner "$deep_tool" >"$work/out.txt" 2>"$work/err.txt" </dev/null; status=$?
  expect "usage from a path of over 255 bytes" 2 "$BANNER"$'\n'"usage : $deep_tool <file[.bsp]> [<file[.bsp]>] [...]"$'\n'
  rm -f "$deep_tool"

  # A read-only mount: the system says no, root or not.
  if [ "$(id -u)" = 0 ] && unshare -m true 2>/dev/null; then
    mkdir rofs
    unshare -m bash -c 'mount -t tmpfs none rofs && printf "OMAP\x29rest" >rofs/r.bsp &&
      mount -o remount,ro rofs && $2 "$1" rofs/r >out.txt 2>err.txt </dev/null; echo $? >status.txt
      od -A n -t x1 -N 5 rofs/r.bsp >bytes.txt' sh "$tool" "$runner"
    status=$(cat status.txt)
    expect_lines "read-only mount" 1 ROFS/R.BSP "$NO_WRITE"
    [ "$(cat bytes.txt)" = " 4f 4d 41 50 29" ] && pass || fail "read-only mount: map changed"
  else
    skip "read-only mount" "needs root and a mount namespace"
  fi
fi

finish
