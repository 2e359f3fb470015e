#!/usr/bin/env bash
# Builds every Google Benchmark program (bench/<name>.cpp becomes
# bench_<name>) in the Release build of scripts/build.sh, build/ (already
# built there when that script has run), runs each, and prints one table of
# every ratio they report: each program prints lines such as
#   read ratio: 1.042 (target <= 1.3)
# A program measured against a fixed budget rather than a peer reports its
# time in the same form, the unit in the name:
#   evaluate 500 frames x 50 x 50, milliseconds ratio: 6.7 (target <= 20)
# A ratio beyond its target is marked OVER. The script fails when a program
# does not build, or (after the table) when one fails to run; with
# BENCH_STRICT=1 it also fails when a ratio is beyond its target. Each
# program's full output is in build/bench-<name>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/logged-steps.sh

build=build
log=$(fresh_log "$build" bench)

names=()
for src in bench/*.cpp; do
  [[ -e "$src" ]] || continue
  names+=("$(basename "$src" .cpp)")
done
((${#names[@]} > 0)) || {
  echo "bench: no benchmark programs in bench/" >&2
  exit 1
}

logged_step bench "$log" configure cmake --preset default
logged_step bench "$log" "building the benchmarks" \
  cmake --build "$build" -j 2 --target "${names[@]/#/bench_}" -- -k 0

# "<what> ratio: <value> (target <= <limit>)", or ">=" for a floor; the value
# "skipped" when a program has nothing to compare with.
ratio_line='^(.*[^ ]) ratio: *([^ ]+) *[(]target *(<=|>=) *([^ )]+)[)]'
# One row per reported ratio: program, ratio name, value, target, verdict.
rows=()
broken=()
over=0
for name in "${names[@]}"; do
  out="$build/bench-$name.log"
  if ! "$build/bench/bench_$name" >"$out" 2>&1; then
    broken+=("bench_$name")
    rows+=("bench_$name|(program failed: $out)|-|-|FAILED")
    continue
  fi
  found=0
  while IFS= read -r line; do
    if [[ $line =~ $ratio_line ]]; then
      found=1
      what=${BASH_REMATCH[1]}
      value=${BASH_REMATCH[2]}
      op=${BASH_REMATCH[3]}
      limit=${BASH_REMATCH[4]}
      # A ratio whose peer program is missing reads "skipped".
      if [[ $value == skipped ]]; then
        rows+=("bench_$name|$what|skipped|$op $limit|skipped")
        continue
      fi
      verdict=$(awk -v v="$value" -v op="$op" -v l="$limit" 'BEGIN {
        if (v !~ /^[-+]?[0-9.]+([eE][-+]?[0-9]+)?$/) { print "NO VALUE"; exit }
        ok = (op == "<=") ? (v + 0 <= l + 0) : (v + 0 >= l + 0)
        print ok ? "ok" : "OVER"
      }')
      [[ $verdict == ok ]] || over=$((over + 1))
      rows+=("bench_$name|$what|$value|$op $limit|$verdict")
    fi
  done < <(sed 's/\x1b\[[0-9;]*m//g' "$out")  # without the console reporter's colours
  ((found)) || rows+=("bench_$name|(reports no ratio)|-|-|-")
done

{
  echo "program|ratio|value|target|verdict"
  printf '%s\n' "${rows[@]}"
} | column -t -s '|'

if ((${#broken[@]} > 0)); then
  for program in "${broken[@]}"; do
    echo "bench: $program failed; the end of its output:" >&2
    tail -n 20 "$build/bench-${program#bench_}.log" >&2
  done
  exit 1
fi
if ((over > 0)); then
  echo "bench: $over ratio(s) beyond target; full outputs in $build/bench-*.log" >&2
  if [[ ${BENCH_STRICT:-0} == 1 ]]; then
    exit 1
  fi
fi
