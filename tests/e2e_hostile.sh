#!/usr/bin/env bash
# End-to-end suite for hostile input: a huge argument list, odd bytes in
# names, paths the system refuses, an open standard input; and the check that
# every file ends exactly as dd would have patched it.
source "$(dirname "$0")/e2e_lib.sh"

# --- 10,000 arguments ----------------------------------------------------------
new_map a.bsp; patched_copy a.bsp want.bsp
args=(); pairs=()
for i in $(seq 1 10000); do args+=(a); pairs+=(A.BSP "$OK"); done
tool "${args[@]}"
expect_lines "10,000 arguments" 0 "${pairs[@]}"
same_bytes "10,000 times the same map" a.bsp want.bsp

# --- names the system refuses ----------------------------------------------------
name4k=$(printf 'n%.0s' $(seq 1 4096))
printf 'real file\n' >real.bsp; cp real.bsp real.orig
tool "$name4k" real.bsp/x.bsp real.bsp/x
expect_lines "4,096-byte name, path through a file" 1 "${name4k^^}.BSP" "$NOT_FOUND" \
  REAL.BSP/X.BSP "$NOT_FOUND" REAL.BSP/X.BSP "$NOT_FOUND"
same_bytes "file on the path untouched" real.bsp real.orig

# --- standard input left open ------------------------------------------------------
new_map b.bsp; patched_copy b.bsp want.bsp
exec {silent}< <(exec sleep 120); sleeper=$!
timeout 60 $runner "$tool" b >"$work/out.txt" 2>"$work/err.txt" <&$silent; status=$?
exec {silent}<&-; kill "$sleeper" 2>/dev/null
expect_lines "standard input open and silent" 0 B.BSP "$OK"
same_bytes "with standard input open" b.bsp want.bsp

# --- data integrity: every byte as dd leaves it ---------------------------------------
mkdir integrity reference
# Sizes up to 64 KiB, some under five bytes, and random bytes, all from the seed.
perl -e 'srand(shift); for my $i (1 .. 300) {
  my $size = $i % 50 == 1 ? $i % 6 : int(rand(65537));
  open(my $f, ">", "integrity/f$i.bsp") or die; print $f pack("C*", map { int(rand(256)) } 1 .. $size);
}' "$RANDOM"
names=(); pairs=()
for i in $(seq 1 300); do
  cp "integrity/f$i.bsp" "reference/f$i.bsp"
  printf '\x2a' | dd of="reference/f$i.bsp" bs=1 seek=4 conv=notrunc status=none
  names+=("f$i"); pairs+=("F$i.BSP" "$OK")
done
(cd integrity && $runner "$tool" "${names[@]}" >"$work/out.txt" 2>"$work/err.txt" </dev/null); status=$?
expect_lines "300 random files" 0 "${pairs[@]}"
bad=0
for i in $(seq 1 300); do cmp -s "integrity/f$i.bsp" "reference/f$i.bsp" || bad=$((bad + 1)); done
[ "$bad" = 0 ] && pass || fail "integrity: $bad of 300 files differ from what dd makes"

# A sparse map over 4 GiB, with data beyond the 4 GiB mark.
truncate -s 4294967296 integrity/huge.bsp
head -c 4096 integrity/f2.bsp | dd of=integrity/huge.bsp bs=4096 seek=1048577 conv=notrunc status=none
printf 'OMAP\x29rest' | dd of=integrity/huge.bsp conv=notrunc status=none
cp --sparse=always integrity/huge.bsp reference/huge.bsp
printf '\x2a' | dd of=reference/huge.bsp bs=1 seek=4 conv=notrunc status=none
(cd integrity && $runner "$tool" huge >"$work/out.txt" 2>"$work/err.txt" </dev/null); status=$?
expect_lines "sparse map over 4 GiB" 0 HUGE.BSP "$OK"
if [ "$(stat -c %s integrity/huge.bsp)" = "$(stat -c %s reference/huge.bsp)" ] &&
  cmp -s <(head -c 65536 integrity/huge.bsp) <(head -c 65536 reference/huge.bsp) &&
  cmp -s <(tail -c 8192 integrity/huge.bsp) <(tail -c 8192 reference/huge.bsp); then pass
else fail "sparse map over 4 GiB differs from what dd makes"; fi
rm -rf integrity reference

# --- interrupts: the batch stops after the map at hand, and the report says which ---
# The report goes to a pipe that is read only after the signal, so the tool
# waits on it with thousands of maps still to go. (On Windows, Wine hands
# SIGINT to the tool as Ctrl+C, and the tool ends with STATUS_CONTROL_C_EXIT.)
# Long enough that the report fills a pipe twice over, whatever its first block.
size=5000; batch=(); upper=(); for i in $(seq -w 1 $size); do batch+=("m$i"); upper+=("M$i"); done
new_map batch_orig.bsp; patched_copy batch_orig.bsp batch_want.bsp
mkdir batch; for m in "${batch[@]}"; do new_map "batch/$m.bsp"; done
# unpatch_batch : every map of the batch as new again (perl is part of every Debian system).
unpatch_batch() { (cd batch && perl -e 'for (@ARGV) { open(my $f, "+<", $_) or die; sysseek($f, 4, 0); syswrite($f, "\x29") }' "${batch[@]/%/.bsp}"); }
orig_sum=$(md5sum <batch_orig.bsp | cut -d' ' -f1); want_sum=$(md5sum <batch_want.bsp | cut -d' ' -f1)
# report_of K : the report of the batch's first K maps, all patched (without its last line end).
report_of() { printf '%s' "$HEAD"; printf 'Working on file %s.BSP : succeed\n' "${upper[@]:0:$1}"; }
# delivered PID SIGNAL : once SIGNAL is pending no more for PID (its handler has it), so that a
# second one is a second one. Wine then hands it to the tool's own handler on a thread of its
# own, which nothing outside sees: there a short while more.
delivered() {
  local bit=$((1 << ($(kill -l "$2") - 1))) pending i
  for i in $(seq 1 500); do
    pending=$(sed -n 's/^\(SigPnd\|ShdPnd\):\s*/0x/p' "/proc/$1/status" 2>/dev/null | paste -sd'|')
    [ -n "$pending" ] && (( (pending) & bit )) || break  # the process has ended, or has the signal
    sleep 0.01
  done
  [ "$windows" != 1 ] || sleep 0.5
}
# interrupted SIGNAL... : starts the batch, sends each SIGNAL once it waits, then reads the report.
interrupted() {
  local sig pid reader i
  unpatch_batch
  rm -f "$work/report.fifo"; mkfifo "$work/report.fifo"
  (cd batch && exec env "${signal_setup[@]}" $runner "$tool" "${batch[@]}" >"$work/report.fifo" 2>"$work/err.txt" </dev/null) &
  pid=$!
  exec {reader}<"$work/report.fifo"
  # Each once it waits to write the report (Wine reads pipes of its own while it starts).
  for sig in "$@"; do
    for i in $(seq 1 200); do [[ "$(cat "/proc/$pid/wchan" 2>/dev/null)" == *pipe_write* ]] && break; sleep 0.05; done
    kill -s "$sig" "$pid"; delivered "$pid" "$sig"
  done
  cat <&$reader >"$work/out.txt"
  exec {reader}<&-
  wait "$pid" 2>/dev/null; status=$?
}
# report_matches_disk NAME STATUS : whole lines in order, each map named patched, every later one untouched.
report_matches_disk() {
  local k sums
  k=$(grep -c '^Working on file' "$work/out.txt")
  if [ "$k" -lt 1 ] || [ "$k" -ge $size ]; then fail "$1: $k lines, want some but not all"; return; fi
  expect "$1: report" "$2" "$(report_of "$k")"$'\n'
  sums=$(cd batch && md5sum "${batch[@]/%/.bsp}" | cut -d' ' -f1 | uniq -c | awk '{print $1, $2}' | tr '\n' ' ')
  [ "$sums" = "$k $want_sum $((size - k)) $orig_sum " ] && pass || fail "$1: maps do not match the report ($sums)"
}
signal_setup=(--default-signal=INT,TERM,HUP)
# by_signal SIGNAL : the exit status of a process that SIGNAL ends
by_signal() { if [ "$windows" = 1 ]; then echo 58; else echo $((128 + $(kill -l "$1"))); fi; }
signals=(INT TERM HUP); [ "$windows" = 1 ] && signals=(INT)
for sig in "${signals[@]}"; do
  interrupted "$sig" 2>/dev/null  # not the shell's note that a job was hung up
  report_matches_disk "SIG$sig" "$(by_signal "$sig")"
done
# A second one while the report waits ends the tool at once: lines of maps patched are lost then.
interrupted INT INT
patched=$(cd batch && md5sum "${batch[@]/%/.bsp}" | grep -c "^$want_sum")
[ "$status" = "$(by_signal INT)" ] && [ "$(grep -c succeed "$work/out.txt")" -lt "$patched" ] && pass ||
  fail "second interrupt: status $status, $patched maps patched; want $(by_signal INT) at once, lines lost"
if [ "$windows" != 1 ]; then
  signal_setup=(--ignore-signal=HUP)
  interrupted HUP
  expect "SIGHUP ignored from the start" 0 "$(report_of $size)"$'\n'
fi

# --- signals that come at once, cut anywhere: every map patched keeps its whole line ---
# timeout signals the tool and then its group, at a quarter, a half and three
# quarters of a full run; then two kills back to back. The report goes to a
# file. (Windows takes a command line of at most 32,767 characters.)
count=20000; [ "$windows" = 1 ] && count=2500
mkdir many; cd many || exit 1
perl -e 'for (1 .. shift) { open(my $f, ">", sprintf("m%05d.bsp", $_)) or die; print $f "OMAP\x29-" }' $count
many=(m*.bsp)
unpatch_many() { perl -e 'for (@ARGV) { open(my $f, "+<", $_) or die; sysseek($f, 4, 0); syswrite($f, "\x29") }' "$@"; }
for run in cold warm; do  # a run on maps the system has read once
  start=$(date +%s%N); tool "${many[@]}"; full=$(( ($(date +%s%N) - start) / 1000000 )); unpatch_many "${many[@]}"
done
# cut_run NAME : whole lines only, and the maps they call patched are those patched, the first of the
# batch; counts the runs cut mid-batch, and leaves the maps new again.
cut_run() {
  local k
  k=$(perl -e 'my $r = do { local $/; open(my $f, "<", shift) or die; <$f> }; $r =~ tr/\r//d;
    my $k = () = $r =~ /^Working on file M\d{5}\.BSP : succeed\n/mg;
    my @patched = grep { open(my $f, "<", $ARGV[$_]) or die; sysseek($f, 4, 0); sysread($f, my $b, 1); $b eq "*" } 0 .. $#ARGV;
    exit 1 unless $r =~ /\n\z/ && @patched == $k && (!@patched || $patched[-1] == $k - 1); print $k' "$work/out.txt" "${many[@]}") ||
    fail "$1: a patched map without its whole line, or a line cut"
  [ "${k:-0}" -gt 0 ] && [ "$k" -lt "$count" ] && cut=$((cut + 1))
  unpatch_many "${many[@]}"
}
cut=0
for quarter in 1 2 3; do
  timeout -s INT "$(awk "BEGIN { print $full * $quarter / 4000 }")" $runner "$tool" "${many[@]}" >"$work/out.txt" 2>/dev/null </dev/null
  cut_run "timeout at $quarter/4 of a run"
done
env --default-signal=INT $runner "$tool" "${many[@]}" >"$work/out.txt" 2>/dev/null </dev/null &
until [ "$(od -An -c -j4 -N1 "${many[99]}")" = "   *" ] || ! kill -0 $! 2>/dev/null; do sleep 0.01; done
kill -INT $!; kill -INT $!; wait $!
cut_run "two kills back to back"
cd "$work" || exit 1
[ "$cut" -ge 2 ] && pass || fail "signals that come at once: $cut of 4 runs cut mid-batch, want several"

if [ "$windows" != 1 ]; then
  # --- POSIX only: bytes no other system passes, and paths it refuses ------------------
  # The file is reached by its own name; the report shows a control character
  # as "?", so that no name can move the cursor, forge a line or split one.
  odd=($'ctl\x01\x02\x1b[31m' $'new\nline' $'\xc3\x28bad' $'\xff\xfe' $'caf\xc3\xa9' $'tab\there' $'cr\rdel\x7f' $'c1\xc2\x9b2K' $'zero\xe2\x80\x8bwidth')
  shown=('CTL???[31M' 'NEW?LINE' $'\xc3\x28BAD' $'\xff\xfe' $'CAF\xc3\xa9' 'TAB?HERE' 'CR?DEL?' 'C1?2K' 'ZERO?WIDTH')
  pairs=()
  for i in "${!odd[@]}"; do new_map "${odd[$i]}.bsp"; pairs+=("${shown[$i]}.BSP" "$OK"); done
  patched_copy "${odd[0]}.bsp" want.bsp
  tool "${odd[@]}"
  expect_lines "control bytes, newlines, invalid UTF-8, 0xFF, a zero-width space" 0 "${pairs[@]}"
  for n in "${odd[@]}"; do same_bytes "odd name" "$n.bsp" want.bsp; done
  # A protected map beside one whose name would rewrite the line above.
  new_map e1m1.bsp; chmod 444 e1m1.bsp; forger=$'e1m1.bsp\e[2K\e[1A\e[21G\e[K'; new_map "$forger.bsp"
  tool e1m1 "$forger.bsp"
  expect_lines "a name that would forge the line above" 1 E1M1.BSP "$NO_WRITE" 'E1M1.BSP?[2K?[1A?[21G?[K.BSP' "$OK"

  # --- an output that takes nothing for a while --------------------------------------
  # A pipe left non-blocking by another program fills up: the tool waits until
  # its reader takes more, and the whole report arrives; an interrupt while it
  # waits stops the batch as anywhere else.
  # nonblocking_run [SIGNAL] : the batch, its report read from such a pipe
  # only once the tool waits on it; SIGNAL comes before that.
  nonblocking_run() {
    unpatch_batch
    (cd batch && exec perl -e 'use Fcntl; my $signal = shift; pipe(my $r, my $w) or die;
      fcntl($w, F_SETFL, fcntl($w, F_GETFL, 0) | O_NONBLOCK) or die;
      my $pid = fork() // die;
      if (!$pid) { open(STDOUT, ">&", $w) or die; close $r; exec @ARGV or die }
      close $w;
      sub state { open(my $f, "<", "/proc/$pid/$_[0]") or return ""; local $/; my $s = <$f>; $s // "" }
      for (1 .. 1000) { last if state("wchan") =~ /poll/; select(undef, undef, undef, 0.01) }
      if ($signal) {
        kill($signal, $pid);
        for (1 .. 1000) { last unless state("status") =~ /^(SigPnd|ShdPnd):\s*0*[1-9a-f]/m; select(undef, undef, undef, 0.01) }
      }
      local $/; print scalar <$r>; waitpid($pid, 0); exit($? & 127 ? 128 + ($? & 127) : $? >> 8)' \
      "${1:-}" $runner "$tool" "${batch[@]}" >"$work/out.txt" 2>"$work/err.txt" </dev/null); status=$?
  }
  nonblocking_run
  expect "non-blocking output that fills up" 0 "$(report_of $size)"$'\n'
  nonblocking_run INT
  report_matches_disk "non-blocking output, interrupted while the tool waits" 130

  # --- a limit on file size ends nothing -------------------------------------------
  unpatch_batch; mv batch limited
  # bash counts the limit in blocks of 1,024 bytes.
  (ulimit -f 1 && cd limited && exec $runner "$tool" "${batch[@]}" >"$work/out.txt" 2>"$work/err.txt" </dev/null); status=$?
  if [ "$status" = 1 ] && [ ! -s "$work/err.txt" ] && [ "$(stat -c %s "$work/out.txt")" = 1024 ] &&
    cmp -s "$work/out.txt" <(report_of $size | head -c 1024) &&
    [ "$(cd limited && md5sum ./*.bsp | cut -d' ' -f1 | sort -u)" = "$want_sum" ]; then pass
  else fail "report over the file-size limit: status $status, $(stat -c %s "$work/out.txt") bytes"; fi
  for m in m1 m2 m3; do new_map "limited/$m.bsp"; done
  (ulimit -f 0 && cd limited && exec $runner "$tool" m1 m2 m3 2>"$work/err.txt" </dev/null) | cat >"$work/out.txt"
  status=${PIPESTATUS[0]}
  expect_lines "maps over the file-size limit" 1 M1.BSP "$NO_WRITE" M2.BSP "$NO_WRITE" M3.BSP "$NO_WRITE"
  same_bytes "map over the limit untouched" limited/m1.bsp batch_orig.bsp
  rm -rf limited

  # Deeper than the system's path limit: every component exists, the whole is refused.
  part=$(printf 'p%.0s' $(seq 1 250)); rel=""
  for i in $(seq 1 20); do rel=$rel$part/; done
  mkdir deep
  (cd deep && for i in $(seq 1 20); do mkdir "$part" && cd "$part" || exit 1; done && new_map m.bsp && cp m.bsp "$work/deep.orig" &&
    new_map plain.bsp && new_map target.bsp && ln -s target.bsp linked.bsp)
  patched_copy deep.orig deep.want
  (cd deep && $runner "$tool" "$rel"m >"$work/out.txt" 2>"$work/err.txt" </dev/null); status=$?
  expect_lines "path longer than the system allows" 1 "${rel^^}M.BSP" "$NOT_FOUND"
  # There, a map and a link beside it are reached by their short names.
  (cd deep && for i in $(seq 1 20); do cd "$part" || exit 1; done &&
    $runner "$tool" plain linked >"$work/out.txt" 2>"$work/err.txt" </dev/null && cmp -s target.bsp "$work/deep.want"); status=$?
  expect_lines "a map and a link to one, deeper than the system's path limit" 0 PLAIN.BSP "$OK" LINKED.BSP "$OK"
  (cd deep && for i in $(seq 1 20); do cd "$part" || exit 1; done && cmp -s m.bsp "$work/deep.orig") && pass ||
    fail "deep map was changed"
  (cd deep && for i in $(seq 1 20); do cd "$part" || exit 1; done && rm ./*.bsp)
  rm -rf deep 2>/dev/null || true

  # A folder without search permission, for a user the system holds to it.
  mkdir locked; new_map locked/m.bsp; cp locked/m.bsp locked.orig; chmod 0600 locked
  as_user=()
  if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
    chmod 0755 "$work"; chmod 0644 out.txt err.txt 2>/dev/null
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
  if [ "$(id -u)" = 0 ] && [ ${#as_user[@]} = 0 ]; then
    skip "folder without search permission" "root without setpriv"
  elif "${as_user[@]}" $runner "$tool" >/dev/null 2>&1; [ $? != 2 ]; then
    skip "folder without search permission" "user 65534 cannot run $tool here: a folder above it is closed to others"
  else
    "${as_user[@]}" $runner "$tool" locked/m >"$work/out.txt" 2>"$work/err.txt" </dev/null; status=$?
    expect_lines "folder without search permission" 1 LOCKED/M.BSP "$NOT_FOUND"
    chmod 0755 locked
    same_bytes "locked map untouched" locked/m.bsp locked.orig
  fi
fi

finish
