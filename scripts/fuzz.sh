#!/usr/bin/env bash
# Builds the fuzzers of fuzz/ with clang 16 (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# into build-fuzz/ and runs each for SECONDS seconds (default 10), one after the other.
#   scripts/fuzz.sh [SECONDS]
# Each fuzzer starts from its corpus in build-fuzz/corpus/<name>, which keeps what earlier runs found
# and is topped up with the fuzzer's seeds (fuzz/<name>/seeds, fuzz/<name>/regressions, files of the
# demo show). Fails when any fuzzer finds a crash, a leak, a timeout or an input that takes too much
# memory; the input is left in build-fuzz/artifacts/<name>/. Once mended, copy it to
# fuzz/<name>/regressions/, where ctest replays it in every build.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-10}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: scripts/fuzz.sh [SECONDS]" >&2
  exit 2
fi

bash scripts/install-deps.sh --fuzz

dir=build-fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIX_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-16
cmake --build "$dir"

# The programs fuzzed write warnings on stdout (close_fd_mask=1 drops them); libFuzzer reports on stderr.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=()
summary=()
for fuzzer in "$dir"/fuzz/fuzz_*; do
  name="${fuzzer##*/fuzz_}"
  corpus="$dir/corpus/$name"
  artifacts="$dir/artifacts/$name"
  log="$dir/logs/$name.log"
  mkdir -p "$corpus" "$artifacts" "$dir/logs"
  while IFS= read -r seed; do
    if [ -d "$seed" ]; then
      find "$seed" -maxdepth 1 -type f -exec cp {} "$corpus/" \;
    elif [ -f "$seed" ]; then
      cp "$seed" "$corpus/"
    fi
  done < "$dir/fuzz/$name.seeds"

  echo "fuzz.sh: $name for $seconds s"
  if "$fuzzer" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -close_fd_mask=1 \
       -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" > "$log" 2>&1; then
    status=ok
  else
    status=FAILED
    failed+=("$name")
    tail -n 60 "$log" >&2
  fi
  # The last status line: "#<runs> DONE cov: <edges> ft: <features> corp: <inputs>/<size> ...".
  done_line="$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)"
  execs="$(grep -E '^stat::number_of_executed_units:' "$log" | awk '{print $2}' || true)"
  cov="$(sed -nE 's/.* cov: ([0-9]+).*/\1/p' <<< "$done_line")"
  ft="$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<< "$done_line")"
  corp="$(sed -nE 's/.* corp: ([0-9]+\/[0-9a-zA-Z]+).*/\1/p' <<< "$done_line")"
  summary+=("$(printf '%-18s %-6s executions %-10s cov %-6s ft %-6s corpus %s' \
                "$name" "$status" "${execs:-?}" "${cov:-?}" "${ft:-?}" "${corp:-?}")")
done

echo "fuzz.sh: $seconds s per fuzzer"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: FAILED: ${failed[*]} (inputs in $dir/artifacts/, logs in $dir/logs/)" >&2
  exit 1
fi
