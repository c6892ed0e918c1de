# Sourced by ./test. Each stage prints one line: its name, its outcome and
# how long it took; what it printed goes to a log, shown only where it helps
# (the failures in full, the reasons for skipped cases). `totals` ends with
# one line for every stage and fails when any stage failed. A stage that
# fails does not stop the next.
stages=()
any_failed=0

# "1 min 5 s" from a number of seconds
took() {
  if [ "$1" -ge 60 ]; then echo "$(($1 / 60)) min $(($1 % 60)) s"; else echo "$1 s"; fi
}

# `build DIR COMMAND...`: a command that builds DIR through scripts/build.sh,
# which keeps the build's progress in DIR/build.log and prints only warnings
# and errors, on standard error. A failed build ends the whole run: nothing
# after it could pass.
build() {
  local dir=$1 start=$SECONDS
  shift
  "$@" >/dev/null || { echo "build $dir: failed after $(took $((SECONDS - start)))"; exit 1; }
  echo "build $dir: $(took $((SECONDS - start))) (log: $dir/build.log)"
}

# `summary NAME RESULTS_ARGS...`: prints what scripts/test_results.py finds
# and keeps its counts for the totals.
summary() {
  local name=$1 lines
  shift
  mapfile -t lines < <(/usr/bin/python3 scripts/test_results.py "$@" || echo "no result (scripts/test_results.py failed)")
  counts=${lines[-1]}
  [ ${#lines[@]} -gt 1 ] && printf '%s\n' "${lines[@]:0:${#lines[@]}-1}"
  stages+=("$name $counts")
}

# `pass NAME DIR [ctest options...]` runs ctest in DIR: its output goes to
# DIR/ctest-NAME.log, each test's output whole to DIR/ctest-NAME.xml.
pass() {
  local name=$1 dir=$2 start=$SECONDS status=0
  shift 2
  local log="$dir/ctest-$name.log" junit="$PWD/$dir/ctest-$name.xml"
  rm -f "$junit"
  ctest --test-dir "$dir" --no-tests=error -j "$(nproc)" --output-junit "$junit" \
    --test-output-size-passed 10000000 --test-output-size-failed 10000000 "$@" >"$log" 2>&1 || status=$?
  echo "$name: $(took $((SECONDS - start))) (log: $log)"
  if [ -f "$junit" ]; then
    summary "$name" --junit "$junit"
    [[ $counts == *" 0 failed,"* ]] || status=1
  else
    tail -n 20 "$log"
    stages+=("$name: no result (ctest exit code $status)")
    status=1
  fi
  [ "$status" -eq 0 ] || any_failed=1
}

# `step NAME LOG COMMAND...` runs a script that is a stage of its own, its
# output to LOG. When it fails, the log from its last "== " heading on (the
# part that failed) is printed. `step` leaves the script's status in $status.
step() {
  local name=$1 log=$2 start=$SECONDS
  shift 2
  status=0
  mkdir -p "$(dirname "$log")"
  "$@" >"$log" 2>&1 || status=$?
  echo "$name: $(took $((SECONDS - start))) (log: $log)"
  if [ "$status" -ne 0 ]; then
    echo "  $name failed (exit code $status):"
    awk '/^== /{part=""} {part=part "    " $0 "\n"} END{printf "%s", part}' "$log"
    any_failed=1
  fi
}

totals() {
  local IFS=';'
  echo "totals: ${stages[*]}" | sed 's/;/; /g'
  return "$any_failed"
}
