#!/bin/bash
# tools/test-all.sh [--no-setup] [debug] [release] [mingw] [fuzz]
#
# The test command: installs what is missing (tools/setup.sh), then builds
# every configuration and runs every suite:
#   debug    native, AddressSanitizer + UndefinedBehaviorSanitizer   (ctest)
#   release  native, optimised                                        (ctest)
#   mingw    cross-built for Windows, run under Wine on a private Xvfb (ctest)
#   fuzz     each libFuzzer harness for a short while (TABRIX_FUZZ_SECONDS, 60)
# and a tiny smoke run of each benchmark program of the release build.
# Names on the command line pick a subset. Prints a summary; exits nonzero
# when anything failed. Logs: build/test-logs/.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

setup=1
configs=()
for arg in "$@"; do
  case $arg in
    --no-setup) setup=0 ;;
    debug | release | mingw | fuzz) configs+=("$arg") ;;
    -h | --help) sed -n '2,12p' "$0" | cut -c3-; exit 0 ;;
    *) echo "unknown argument: $arg (see --help)" >&2; exit 2 ;;
  esac
done
[ ${#configs[@]} -eq 0 ] && configs=(debug release mingw fuzz)

logs=$root/build/test-logs
mkdir -p "$logs"
fuzz_seconds=${TABRIX_FUZZ_SECONDS:-60}
started=$(date +%s)
summary=()
failures=0
tests_passed=0
tests_failed=0

say() { printf '\n==== %s ====\n' "$*"; }

# record NAME STATUS DETAIL SECONDS
record() {
  summary+=("$(printf '%-18s %-5s %6ss  %s' "$1" "$2" "$4" "$3")")
  [ "$2" = ok ] || failures=$((failures + 1))
}

# Shows the interesting part of a failed step's log.
show_log() {
  local log=$1
  echo "---- first errors in $log ----"
  grep -n -m 40 -E 'error|Error|ERROR|undefined reference|No such file' "$log" || true
  echo "---- last lines of $log ----"
  tail -n 40 "$log"
}

# run_logged LOG TIMEOUT COMMAND...: runs quietly into LOG.
run_logged() {
  local log=$1 limit=$2
  shift 2
  timeout -k 10 "$limit" "$@" >"$log" 2>&1
}

# ctest output: "100% tests passed, 0 tests failed out of 42".
count_tests() {
  local log=$1 line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    echo "0 0"
    return
  fi
  local failed total
  failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
  echo "$((total - failed)) $failed"
}

# configure_and_build PRESET: returns nonzero (and records it) on failure;
# sets build_seconds.
build_seconds=0
configure_and_build() {
  local preset=$1 t0
  t0=$(date +%s)
  say "$preset: configure"
  if ! run_logged "$logs/$preset-configure.log" 600 cmake --preset "$preset"; then
    show_log "$logs/$preset-configure.log"
    record "$preset" FAIL "configure failed ($logs/$preset-configure.log)" $(($(date +%s) - t0))
    tests_failed=$((tests_failed + 1))
    return 1
  fi
  say "$preset: build"
  if ! run_logged "$logs/$preset-build.log" 1500 cmake --build --preset "$preset"; then
    show_log "$logs/$preset-build.log"
    record "$preset" FAIL "build failed ($logs/$preset-build.log)" $(($(date +%s) - t0))
    tests_failed=$((tests_failed + 1))
    return 1
  fi
  # The Windows packages (zip and installer), which the package test installs.
  if [ "$preset" = mingw ] &&
    ! run_logged "$logs/$preset-packages.log" 600 cmake --build --preset "$preset" --target packages; then
    show_log "$logs/$preset-packages.log"
    record "$preset" FAIL "the packages could not be built ($logs/$preset-packages.log)" $(($(date +%s) - t0))
    tests_failed=$((tests_failed + 1))
    return 1
  fi
  build_seconds=$(($(date +%s) - t0))
  echo "built in $build_seconds s"
}

# run_ctest NAME COMMAND...: a ctest run, its output shown and counted.
run_ctest() {
  local name=$1 t0 rc
  shift
  t0=$(date +%s)
  say "$name: tests"
  # The console gets failures and the totals; the full list is in the log.
  timeout -k 30 1200 "$@" 2>&1 | tee "$logs/$name-test.log" |
    grep --line-buffered -v -E '^ +Start +[0-9]+: |Test +#[0-9]+: .* Passed +[0-9.]+ sec$'
  rc=${PIPESTATUS[0]}
  local counts passed failed
  counts=$(count_tests "$logs/$name-test.log")
  passed=${counts% *}
  failed=${counts#* }
  tests_passed=$((tests_passed + passed))
  tests_failed=$((tests_failed + failed))
  local times="build ${build_seconds} s, tests $(($(date +%s) - t0)) s"
  if [ "$rc" -eq 0 ] && [ "$passed" -gt 0 ]; then
    record "$name" ok "$passed passed, $failed failed ($times)" $((build_seconds + $(date +%s) - t0))
  else
    [ "$failed" -eq 0 ] && tests_failed=$((tests_failed + 1))
    record "$name" FAIL "$passed passed, $failed failed, ctest exit $rc ($times)" \
      $((build_seconds + $(date +%s) - t0))
  fi
}

do_setup() {
  local t0
  t0=$(date +%s)
  say "setup"
  if tools/setup.sh; then
    record setup ok "packages present" $(($(date +%s) - t0))
  else
    record setup FAIL "tools/setup.sh failed" $(($(date +%s) - t0))
    tests_failed=$((tests_failed + 1))
  fi
}

do_native() {
  local preset=$1
  configure_and_build "$preset" || return
  run_ctest "$preset" ctest --preset "$preset"
  [ "$preset" = release ] && bench_smoke "$preset"
}

# A tiny run of each benchmark program, so that they keep working; their
# figures at full size are taken by hand (README.md, Benchmarks).
bench_smoke() {
  local preset=$1 exe name t0
  for exe in "$root/build/$preset"/bench/bench_*; do
    if [ ! -f "$exe" ] || [ ! -x "$exe" ]; then continue; fi
    name=$(basename "$exe")
    t0=$(date +%s)
    say "$name: smoke run"
    if run_logged "$logs/$preset-$name.log" 300 "$exe" --sizes 2000 --rounds 1; then
      tests_passed=$((tests_passed + 1))
      record "$name" ok "--sizes 2000 --rounds 1" $(($(date +%s) - t0))
    else
      tests_failed=$((tests_failed + 1))
      show_log "$logs/$preset-$name.log"
      record "$name" FAIL "smoke run failed ($logs/$preset-$name.log)" $(($(date +%s) - t0))
    fi
  done
}

do_mingw() {
  configure_and_build mingw || return
  # A fresh prefix per run, so that no state survives from an earlier run.
  # A test that fails is run once more: under load Wine now and then ends a
  # test program before its first line (a failure in hundredths of a second,
  # no output); a real failure fails both times.
  local keeper=$root/build/mingw/desktop_keeper.exe
  [ -f "$keeper" ] || keeper=
  run_ctest mingw env WINEPREFIX="$root/build/mingw/wineprefix-test" TABRIX_FRESH_PREFIX=1 \
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
  local rc=0 t0
  t0=$(date +%s)
  timeout -k 10 $((fuzz_seconds + 120)) "$exe" -max_total_time="$fuzz_seconds" -timeout=20 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/artifacts/" "${dirs[@]}" \
    >"$logs/fuzz-$name.log" 2>&1 || rc=$?
  echo "$rc $(($(date +%s) - t0))" >"$work/rc"
}

do_fuzz() {
  configure_and_build fuzz || return
  say "fuzz: ${fuzz_seconds} s per harness, two at a time"
  local entries=()
  mapfile -t entries < <(list_fuzzers)
  if [ ${#entries[@]} -eq 0 ]; then
    record fuzz FAIL "no fuzz harness in build/fuzz" 0
    tests_failed=$((tests_failed + 1))
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
    local rc runs seconds
    read -r rc seconds <"$root/build/fuzz/run/$name/rc" 2>/dev/null || rc=255
    seconds=${seconds:-0}
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$logs/fuzz-$name.log" | grep -o '[0-9]*$')
    if [ "$rc" -eq 0 ]; then
      tests_passed=$((tests_passed + 1))
      record "fuzz $name" ok "${runs:-?} inputs, clean" "$seconds"
    else
      tests_failed=$((tests_failed + 1))
      show_log "$logs/fuzz-$name.log"
      echo "crashing inputs: $root/build/fuzz/run/$name/artifacts/"
      record "fuzz $name" FAIL "exit $rc, see $logs/fuzz-$name.log" "$seconds"
    fi
  done
}

[ "$setup" = 1 ] && do_setup
for config in "${configs[@]}"; do
  case $config in
    debug | release) do_native "$config" ;;
    mingw) do_mingw ;;
    fuzz) do_fuzz ;;
  esac
done

say "summary ($(($(date +%s) - started)) s in all)"
for line in "${summary[@]}"; do
  echo "$line"
done
echo
echo "test-all: $tests_passed passed, $tests_failed failed"
if [ "$failures" -gt 0 ]; then
  echo "FAILED: $failures step(s)"
  exit 1
fi
echo "all suites passed"
