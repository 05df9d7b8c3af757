#!/usr/bin/env bash
# Builds everything and runs every test: the normal build (core and GUI), the
# core tests again under AddressSanitizer+UBSan and under ThreadSanitizer, and
# the fuzz targets for a short run each. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")"
root=$(pwd)
jobs=${SORVANE_JOBS:-2}
fuzz_seconds=${SORVANE_FUZZ_SECONDS:-20}

scripts/deps.sh full || { echo "test.sh: installing packages failed" >&2; exit 1; }

failed=()
summary=()

configure_build() {  # dir, extra cmake args...
  local dir=$1; shift
  local log=build/logs/$(basename "$dir").configure.log
  mkdir -p "$dir" build/logs
  cmake -S "$root" -B "$dir" -G Ninja "$@" >"$log" 2>&1 || { cat "$log"; return 1; }
  cmake --build "$dir" -j "$jobs"
}

# Every C and C++ file of the tree is in the repository's clang-format style.
check_format() {
  local files
  if git -C "$root" rev-parse --git-dir >/dev/null 2>&1; then
    files=$(git -C "$root" ls-files -- '*.c' '*.cpp' '*.h')
  else
    files=$(find . -path ./build -prune -o -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -print)
  fi
  local bad
  bad=$(echo "$files" | xargs -r clang-format --dry-run 2>&1 | grep -oE '^[^:]+:[0-9]+:[0-9]+: (warning|error)' |
        cut -d: -f1 | sort -u)
  if [ -n "$bad" ]; then
    echo "=== format: these files differ from .clang-format (run clang-format -i on them):"
    echo "$bad" | sed 's/^/  /'
    return 1
  fi
  echo "=== format: every file formatted"
}

if check_format; then
  summary+=("format: clean")
else
  failed+=("format")
  summary+=("format: FAILED")
fi

run_ctest() {  # name, dir, extra ctest args...
  local name=$1 dir=$2; shift 2
  echo "=== ctest: $name"
  local out
  out=$(ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600 "$@" 2>&1)
  local rc=$?
  echo "$out" | tail -n 200
  summary+=("$name: $(echo "$out" | grep -E 'tests passed|No tests were found' | tail -n 1)")
  [ $rc -eq 0 ] || failed+=("$name")
}

if configure_build build -DCMAKE_BUILD_TYPE=Release; then
  run_ctest "release" build
else
  failed+=("release build")
fi

if configure_build build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORVANE_CORE_ONLY=ON \
     -DSORVANE_SANITIZE=address -DSORVANE_BENCH=OFF; then
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest "asan+ubsan (core)" build/asan -L core
else
  failed+=("asan build")
fi

if configure_build build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORVANE_CORE_ONLY=ON \
     -DSORVANE_SANITIZE=thread -DSORVANE_BENCH=OFF; then
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run_ctest "tsan (core)" build/tsan -L core
else
  failed+=("tsan build")
fi

if CC=clang CXX=clang++ configure_build build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
     -DSORVANE_CORE_ONLY=ON -DSORVANE_FUZZ=ON -DSORVANE_BENCH=OFF; then
  # Seeds of the DBC reader: slices of the real files when they are at hand.
  if [ -d ../shared/testdata/dbc ]; then
    scripts/dbc_seed_slices.sh ../shared/testdata/dbc build/fuzz/seeds-dbc 1024
  fi
  for fuzzer in build/fuzz/fuzz/*; do
    [ -x "$fuzzer" ] && [ -f "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus=build/fuzz/corpus-$name
    mkdir -p "$corpus"
    # fuzz/<name>.seeds lists seed folders, one a line; missing ones are skipped.
    seeds=()
    if [ -f "fuzz/$name.seeds" ]; then
      while read -r d; do
        [ -n "$d" ] && [ -d "$d" ] && seeds+=("$d")
      done <"fuzz/$name.seeds"
    fi
    # fuzz/<name>.flags holds further libFuzzer flags of the target, if any, on
    # one line. The DBC reader runs with -use_counters=0: in a short run, edges
    # alone as features reach as many edges at three times the inputs a second,
    # where hit counts keep a corpus of a thousand near-copies to schedule.
    flags=()
    if [ -f "fuzz/$name.flags" ]; then
      read -r -a flags <"fuzz/$name.flags"
    fi
    echo "=== fuzz: $name for ${fuzz_seconds}s"
    if "$fuzzer" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
         -print_final_stats=1 "${flags[@]}" "$corpus" "${seeds[@]}" >"build/fuzz/$name.log" 2>&1; then
      summary+=("fuzz $name: $(grep -E 'stat::number_of_executed_units' "build/fuzz/$name.log" | awk '{print $2}') runs, no failure")
    else
      tail -n 60 "build/fuzz/$name.log"
      failed+=("fuzz $name")
      summary+=("fuzz $name: FAILED")
    fi
  done
else
  failed+=("fuzz build")
fi

echo
echo "=== summary"
for line in "${summary[@]}"; do echo "$line"; done
if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all passed"
