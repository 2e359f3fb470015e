#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz/<name>.cpp becomes fuzz_<name>) with
# clang under ASan+UBSan in build-fuzz/, replays each seed corpus
# (fuzz/corpus/<name>/), then fuzzes each target for FUZZ_SECONDS (default
# 60). Fuzzing works on a scratch copy of the corpus, so the committed corpus
# never grows. Up to FUZZ_JOBS targets (default 2) run at a time.
#
# Any crash, leak or timeout fails the script; the input that caused it is
# copied to out/fuzz-findings/<name>/ and its report is printed. On success
# the script prints one line per target, with the inputs it ran per second.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/logged-steps.sh

seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-2}
build=build-fuzz
work="$build/fuzz-work"
findings=out/fuzz-findings
# libFuzzer reads -max_total_time=0 as "no limit"; only a positive count of
# seconds bounds the run.
for setting in "FUZZ_SECONDS=$seconds" "FUZZ_JOBS=$jobs"; do
  if [[ ! ${setting#*=} =~ ^[1-9][0-9]*$ ]]; then
    echo "fuzz: $setting is not a positive whole number" >&2
    exit 2
  fi
done
log=$(fresh_log "$build" fuzz)

names=()
for src in fuzz/*.cpp; do
  [[ -e "$src" ]] || continue
  name=$(basename "$src" .cpp)
  names+=("$name")
done
((${#names[@]} > 0)) || logged_fail fuzz "$log" "no fuzz targets in fuzz/"

logged_step fuzz "$log" configure cmake --preset fuzz
logged_step fuzz "$log" "building the fuzz targets" \
  cmake --build "$build" -j 2 --target "${names[@]/#/fuzz_}" -- -k 0

rm -rf "$work"
mkdir -p "$work"

# The targets rewrite a scratch file for every input. On a memory file system
# that costs microseconds; on the disk it can cost milliseconds, so TMPDIR
# points there when the machine has one. A crashed target leaves its scratch
# files behind; they go with the folder.
if [[ -d /dev/shm && -w /dev/shm ]]; then
  scratch=$(mktemp -d /dev/shm/korvane-fuzz.XXXXXX)
  trap 'rm -rf "$scratch"' EXIT
  export TMPDIR=$scratch
fi

# Replays the seeds of one target, then fuzzes it. Its output goes to
# $work/<name>.log; the last line of that file is its summary.
run_target() {
  local name=$1
  local exe="$build/fuzz/fuzz_$name"
  local dir="$work/$name"
  local seeds="fuzz/corpus/$name"
  local tlog="$work/$name.log"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  local count=0
  if [[ -d "$seeds" ]]; then
    count=$(find "$seeds" -type f | wc -l)
    cp -R "$seeds/." "$dir/corpus/"
  fi
  # Timeouts are per input; a leak counts as a finding (libFuzzer's default).
  local common=(-artifact_prefix="$dir/artifacts/" -timeout=10 -rss_limit_mb=2048
    -print_final_stats=1)

  if ((count > 0)) && ! "$exe" "${common[@]}" -runs=0 "$seeds" >"$tlog" 2>&1; then
    echo "FAILED replaying the $count seeds of fuzz/corpus/$name" >>"$tlog"
    return 1
  fi
  if ! "$exe" "${common[@]}" -max_total_time="$seconds" "$dir/corpus" >>"$tlog" 2>&1; then
    echo "FAILED fuzzing for ${seconds} s" >>"$tlog"
    return 1
  fi
  local runs
  runs=$(grep -E '^stat::number_of_executed_units' "$tlog" | tail -n 1 | awk '{print $2}')
  local rate
  rate=$(grep -E '^stat::average_exec_per_sec' "$tlog" | tail -n 1 | awk '{print $2}')
  local grown
  grown=$(find "$dir/corpus" -type f | wc -l)
  local note=""
  ((count > 0)) || note=" (no seed corpus in fuzz/corpus/$name)"
  echo "fuzz_$name: $count seeds replayed, ${runs:-?} inputs in ${seconds} s" \
    "(${rate:-?} inputs/s), scratch corpus $grown inputs, no findings$note" >>"$tlog"
}

# Runs the targets, at most $jobs at a time, and remembers which failed.
declare -A pid_of=()
failed=()
reap() {
  local name
  for name in "${!pid_of[@]}"; do
    if ! kill -0 "${pid_of[$name]}" 2>/dev/null; then
      wait "${pid_of[$name]}" || failed+=("$name")
      unset "pid_of[$name]"
    fi
  done
}
for name in "${names[@]}"; do
  while ((${#pid_of[@]} >= jobs)); do
    sleep 1
    reap
  done
  run_target "$name" &
  pid_of[$name]=$!
done
while ((${#pid_of[@]} > 0)); do
  sleep 1
  reap
done

for name in "${names[@]}"; do
  cat "$work/$name.log" >>"$log"
done

if ((${#failed[@]} > 0)); then
  for name in "${failed[@]}"; do
    echo "fuzz: fuzz_$name found a problem; its report:" >&2
    # The sanitizer's or libFuzzer's verdict with the top of its stack, then
    # where the input went.
    awk '/ERROR: |runtime error:|deadly signal|ALARM|out-of-memory/ { shown = 1 }
         /^Shadow bytes|^MS: / { shown = 0 }
         shown && n < 30 && !/^ *#[0-9]+ 0x[0-9a-f]+ in (fuzzer::|main |__libc|_start)/ { print; n++ }' \
      "$work/$name.log" >&2
    grep -E 'Test unit written|^FAILED' "$work/$name.log" >&2 || true
    shopt -s nullglob
    inputs=("$work/$name/artifacts/"{crash,leak,timeout,oom,slow-unit}-*)
    shopt -u nullglob
    if ((${#inputs[@]} > 0)); then
      mkdir -p "$findings/$name"
      cp "${inputs[@]}" "$findings/$name/"
      echo "fuzz: the input(s) are in $findings/$name/; replay with" \
        "$build/fuzz/fuzz_$name $findings/$name/<file>" >&2
    fi
  done
  echo "fuzz: FAILED: ${failed[*]/#/fuzz_}" >&2
  exit 1
fi

for name in "${names[@]}"; do
  tail -n 1 "$work/$name.log"
done
