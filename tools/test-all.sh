#!/bin/bash
# tools/test-all.sh [--no-setup] [debug] [release] [mingw] [fuzz]
#
# The test command: installs what is missing (tools/setup.sh), then builds
# every configuration and runs every suite:
#   debug    native, AddressSanitizer + UndefinedBehaviorSanitizer   (ctest)
#   release  native, optimised, and a tiny run of each benchmark      (ctest)
#   mingw    cross-built for Windows, run under Wine on a private Xvfb (ctest)
#   fuzz     each libFuzzer harness for a short while (TABRIX_FUZZ_SECONDS, 10)
# Lanes run side by side: the native one (debug, release) and the Windows
# one (mingw), whose Wine tests leave a core idle now and then; the fuzz lane
# starts when the first of them ends.
# Names on the command line pick a subset. Prints each step's wall and CPU
# seconds, then "test-all: N passed, M failed, K skipped" (test cases), and
# exits nonzero when anything failed. Logs: build/test-logs/.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

setup=1
configs=()
for arg in "$@"; do
  case $arg in
    --no-setup) setup=0 ;;
    debug | release | mingw | fuzz) configs+=("$arg") ;;
    -h | --help) sed -n '2,15p' "$0" | cut -c3-; exit 0 ;;
    *) echo "unknown argument: $arg (see --help)" >&2; exit 2 ;;
  esac
done
[ ${#configs[@]} -eq 0 ] && configs=(debug release mingw fuzz)

logs=$root/build/test-logs
steps=$logs/steps
rm -rf "$steps"
mkdir -p "$logs" "$steps"
fuzz_seconds=${TABRIX_FUZZ_SECONDS:-10}
started=$(date +%s)
ticks=$(getconf CLK_TCK)

say() { printf '\n==== %s ====\n' "$*"; }

# The whole machine's CPU time so far, in ticks (user, nice, system, irq,
# softirq): on a quiet machine, what this command costs, Wine's server and
# Xvfb included, which are not this shell's children.
machine_ticks() {
  awk '/^cpu / { print $2 + $3 + $4 + $7 + $8; exit }' /proc/stat
}
machine_started=$(machine_ticks)

# record LANE NAME STATUS WALL CPU DETAIL: one line of the summary; LANE
# (a digit for its place in the summary, then its name) keeps its steps'
# order. COUNTS (passed failed skipped) go with it.
record() {
  local lane=$1 name=$2 status=$3 wall=$4 cpu=$5 detail=$6 passed=${7:-0} failed=${8:-0} skipped=${9:-0}
  local n
  n=$(find "$steps" -name "$lane-*" | wc -l)
  # Fields apart by the unit separator: a tab would let empty fields merge.
  printf '%s\037%s\037%s\037%s\037%s\037%s\037%s\037%s\n' "$name" "$status" "$wall" "$cpu" \
    "$detail" "$passed" "$failed" "$skipped" >"$steps/$lane-$(printf '%02d' "$n")"
}

# Shows the interesting part of a failed step's log.
show_log() {
  local log=$1
  echo "---- first errors in $log ----"
  grep -n -m 40 -E 'error|Error|ERROR|undefined reference|No such file' "$log" || true
  echo "---- last lines of $log ----"
  tail -n 40 "$log"
}

# timed COMMAND...: runs COMMAND; sets step_wall and step_cpu (seconds, the
# CPU of COMMAND's processes) and returns its status.
step_wall=0
step_cpu=0
timed() {
  local tfile rc user=0 sys=0 TIMEFORMAT='%R %U %S'
  tfile=$(mktemp)
  { time "$@" 2>&3 3>&-; } 3>&2 2>"$tfile"
  rc=$?
  read -r step_wall user sys <"$tfile" || step_wall=0
  rm -f "$tfile"
  step_wall=$(printf '%.0f' "$step_wall")
  step_cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.0f", u + s }')
  return $rc
}

# run_logged LOG TIMEOUT COMMAND...: runs quietly into LOG.
run_logged() {
  local log=$1 limit=$2
  shift 2
  timeout -k 10 "$limit" "$@" >"$log" 2>&1
}

# configure_and_build LANE PRESET: returns nonzero (and records it) on failure.
configure_and_build() {
  local lane=$1 preset=$2 log=$logs/$2-build.log
  say "$preset: configure and build"
  build_preset() {
    run_logged "$logs/$preset-configure.log" 600 cmake --preset "$preset" || {
      log=$logs/$preset-configure.log
      return 1
    }
    # The fuzz build: the harnesses only (listed when it is configured).
    local targets=()
    if [ "$preset" = fuzz ] && [ -s "$root/build/fuzz/fuzz-targets.txt" ]; then
      targets=(--target $(cut -f1 "$root/build/fuzz/fuzz-targets.txt"))
    fi
    run_logged "$log" 1500 cmake --build --preset "$preset" "${targets[@]}" || return 1
    # The Windows packages (zip and installer), which the package test installs.
    if [ "$preset" = mingw ]; then
      log=$logs/$preset-packages.log
      run_logged "$log" 600 cmake --build --preset "$preset" --target packages || return 1
    fi
  }
  if timed build_preset; then
    record "$lane" "$preset build" ok "$step_wall" "$step_cpu" ""
    echo "$preset: built in $step_wall s ($step_cpu s CPU)"
    return 0
  fi
  show_log "$log"
  record "$lane" "$preset build" FAIL "$step_wall" "$step_cpu" "failed: $log" 0 1 0
  return 1
}

# run_ctest LANE NAME COMMAND...: a ctest run, its output shown and counted
# in test cases (tools/count-results.py).
run_ctest() {
  local lane=$1 name=$2 build=$root/build/$2 rc
  shift 2
  say "$name: tests"
  rm -rf "$build/test-results"
  mkdir -p "$build/test-results"
  # The console gets failures and the totals; the full list is in the log.
  ctest_filtered() {
    timeout -k 30 1200 "$@" --output-junit "$build/test-results/ctest.junit.xml" 2>&1 |
      tee "$logs/$name-test.log" |
      grep --line-buffered -v -E '^ +Start +[0-9]+: |Test +#[0-9]+: .* Passed +[0-9.]+ sec$'
    return "${PIPESTATUS[0]}"
  }
  timed ctest_filtered "$@"
  rc=$?
  local counts passed failed skipped
  counts=$(python3 "$root/tools/count-results.py" "$build/test-results/ctest.junit.xml" \
    "$build/test-results")
  read -r passed failed skipped <<<"$(head -n 1 <<<"$counts")"
  if [ "$failed" -gt 0 ]; then
    echo "$name: failed cases:"
    tail -n +2 <<<"$counts" | sed 's/^/  /'
  fi
  local detail="$passed passed, $failed failed, $skipped skipped"
  if [ "$rc" -eq 0 ] && [ "$passed" -gt 0 ] && [ "$failed" -eq 0 ]; then
    record "$lane" "$name tests" ok "$step_wall" "$step_cpu" "$detail" "$passed" 0 "$skipped"
  else
    [ "$failed" -eq 0 ] && failed=1
    record "$lane" "$name tests" FAIL "$step_wall" "$step_cpu" "$detail, ctest exit $rc" \
      "$passed" "$failed" "$skipped"
  fi
}

do_setup() {
  say "setup"
  if timed tools/setup.sh; then
    record 0setup setup ok "$step_wall" "$step_cpu" "packages present"
  else
    record 0setup setup FAIL "$step_wall" "$step_cpu" "tools/setup.sh failed" 0 1 0
  fi
}

do_native() {
  local preset=$1
  configure_and_build 1native "$preset" || return
  run_ctest 1native "$preset" ctest --preset "$preset"
  [ "$preset" = release ] && bench_smoke "$preset"
}

# A tiny run of each benchmark program of the release build, so that they keep
# working; their figures at full size are taken by hand (bench/README.md).
bench_smoke() {
  local preset=$1 exe name
  for exe in "$root/build/$preset"/bench/bench_*; do
    if [ ! -f "$exe" ] || [ ! -x "$exe" ]; then continue; fi
    name=$(basename "$exe")
    say "$name: smoke run"
    if timed run_logged "$logs/$preset-$name.log" 300 "$exe" --sizes 2000 --rounds 1; then
      record 1native "$name" ok "$step_wall" "$step_cpu" "--sizes 2000 --rounds 1" 1 0 0
    else
      show_log "$logs/$preset-$name.log"
      record 1native "$name" FAIL "$step_wall" "$step_cpu" "smoke run failed ($logs/$preset-$name.log)" 0 1 0
    fi
  done
}

do_mingw() {
  configure_and_build 2windows mingw || return
  # Fresh prefixes per run, so that no state survives from an earlier run:
  # one template booted, copied for the session and each Wine stage.
  # A test that fails is run once more: under load Wine now and then ends a
  # test program before its first line (a failure in hundredths of a second,
  # no output); a real failure fails both times.
  local keeper=$root/build/mingw/desktop_keeper.exe
  [ -f "$keeper" ] || keeper=
  rm -rf "$root/build/mingw/wineprefix-template"
  run_ctest 2windows mingw env WINEPREFIX="$root/build/mingw/wineprefix-test" TABRIX_FRESH_PREFIX=1 \
    TABRIX_TEMPLATE_PREFIX="$root/build/mingw/wineprefix-template" \
    TABRIX_DESKTOP_KEEPER="$keeper" tools/wine-session.sh ctest --preset mingw \
    --repeat until-pass:2
}

# Harnesses: <build>/fuzz-targets.txt (tabrix_add_fuzzer) lists name,
# executable and seed folder. Failing that, any executable of the fuzz build
# that defines LLVMFuzzerTestOneInput, with seeds from fuzz/corpus/<name>.
list_fuzzers() {
  local build=$root/build/fuzz
  if [ -s "$build/fuzz-targets.txt" ]; then
    cat "$build/fuzz-targets.txt"
    return
  fi
  find "$build" -path "$build/CMakeFiles" -prune -o -type f -perm -u+x -print 2>/dev/null |
    while read -r exe; do
      if nm -C "$exe" 2>/dev/null | grep -q ' T LLVMFuzzerTestOneInput'; then
        local name
        name=$(basename "$exe")
        printf '%s\t%s\t%s\n' "$name" "$exe" "$root/fuzz/corpus/$name"
      fi
    done
}

# fuzz_one NAME EXE SEEDS: one harness for $fuzz_seconds; writes its verdict.
fuzz_one() {
  local name=$1 exe=$2 seeds=$3
  local work=$root/build/fuzz/run/$name
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  local dirs=("$work/corpus")
  if [ -n "$seeds" ] && [ -d "$seeds" ]; then
    dirs+=("$seeds")
  fi
  local rc=0
  timed timeout -k 10 $((fuzz_seconds + 120)) "$exe" -max_total_time="$fuzz_seconds" -timeout=20 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/artifacts/" "${dirs[@]}" \
    >"$logs/fuzz-$name.log" 2>&1 || rc=$?
  echo "$rc $step_wall $step_cpu" >"$work/rc"
}

do_fuzz() {
  configure_and_build 3fuzz fuzz || return
  say "fuzz: ${fuzz_seconds} s per harness, two at a time"
  local entries=()
  mapfile -t entries < <(list_fuzzers)
  if [ ${#entries[@]} -eq 0 ]; then
    record 3fuzz fuzz FAIL 0 0 "no fuzz harness in build/fuzz" 0 1 0
    return
  fi
  local entry name exe seeds running=0
  for entry in "${entries[@]}"; do
    IFS=$'\t' read -r name exe seeds <<<"$entry"
    local seed_count=0
    [ -n "$seeds" ] && [ -d "$seeds" ] && seed_count=$(find "$seeds" -type f | wc -l)
    echo "$name: $seed_count seed files from ${seeds:-(none)}"
    fuzz_one "$name" "$exe" "$seeds" &
    running=$((running + 1))
    if [ "$running" -ge 2 ]; then
      wait -n
      running=$((running - 1))
    fi
  done
  wait
  for entry in "${entries[@]}"; do
    IFS=$'\t' read -r name exe seeds <<<"$entry"
    local rc runs seconds cpu
    read -r rc seconds cpu <"$root/build/fuzz/run/$name/rc" 2>/dev/null || rc=255
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$logs/fuzz-$name.log" | grep -o '[0-9]*$')
    if [ "$rc" -eq 0 ]; then
      record 3fuzz "$name" ok "${seconds:-0}" "${cpu:-0}" "${runs:-?} inputs, clean" 1 0 0
    else
      show_log "$logs/fuzz-$name.log"
      echo "crashing inputs: $root/build/fuzz/run/$name/artifacts/"
      record 3fuzz "$name" FAIL "${seconds:-0}" "${cpu:-0}" "exit $rc, see $logs/fuzz-$name.log" 0 1 0
    fi
  done
}

selected() {
  local c
  for c in "${configs[@]}"; do [ "$c" = "$1" ] && return 0; done
  return 1
}

lane_native() {
  selected debug && do_native debug
  selected release && do_native release
}
lane_windows() {
  selected mingw && do_mingw
}
lane_fuzz() {
  selected fuzz && do_fuzz
}

[ "$setup" = 1 ] && do_setup
# Each lane's console lines carry its name; its steps go to $steps. The fuzz
# lane starts when the first of the other two ends, so that both cores stay
# busy to the end.
lane_native 2>&1 | sed -u 's/^/native  | /' &
native_pid=$!
lane_windows 2>&1 | sed -u 's/^/windows | /' &
windows_pid=$!
wait -n "$native_pid" "$windows_pid"
lane_fuzz 2>&1 | sed -u 's/^/fuzz    | /' &
fuzz_pid=$!
wait "$native_pid" "$windows_pid" "$fuzz_pid"

wall=$(($(date +%s) - started))
machine_cpu=$((($(machine_ticks) - machine_started) / ticks))
say "summary ($wall s wall, $machine_cpu s CPU of the whole machine)"
printf '%-24s %-5s %7s %7s  %s\n' step status wall cpu detail
tests_passed=0
tests_failed=0
tests_skipped=0
failures=0
for f in $(find "$steps" -type f | sort); do
  IFS=$'\037' read -r name status wall_s cpu_s detail passed failed skipped <"$f"
  lane=$(basename "$f")
  lane=${lane%-*}
  printf '%-24s %-5s %6ss %6ss  %s\n' "${lane#[0-9]}: $name" "$status" "$wall_s" "$cpu_s" "$detail"
  tests_passed=$((tests_passed + passed))
  tests_failed=$((tests_failed + failed))
  tests_skipped=$((tests_skipped + skipped))
  [ "$status" = ok ] || failures=$((failures + 1))
done
if [ "$failures" -gt 0 ]; then
  echo "FAILED: $failures step(s)"
else
  echo "all suites passed"
fi
echo
echo "test-all: $tests_passed passed, $tests_failed failed, $tests_skipped skipped"
[ "$failures" -eq 0 ]
