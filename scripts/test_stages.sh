# Sourced by ./test. Each stage prints one line: its name when it starts,
# how long it took when it ends; what it printed goes to a log, shown only where it helps
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
  local dir=$1 start=$SECONDS status=0 said
  shift
  printf 'build %s: ' "$dir"
  said=$("$@" 2>&1 >/dev/null) || status=$?
  if [ "$status" -ne 0 ]; then
    echo "failed after $(took $((SECONDS - start)))"
    echo "$said"
    exit 1
  fi
  echo "$(took $((SECONDS - start))) (log: $dir/build.log)"
  [ -z "$said" ] || echo "$said"
}

# `summary RESULTS_ARGS...`: runs scripts/test_results.py; leaves its last
# line (the counts) in $counts and the lines before it in $details.
summary() {
  local lines
  mapfile -t lines < <(/usr/bin/python3 scripts/test_results.py "$@" || echo "no result (scripts/test_results.py failed)")
  counts=${lines[-1]}
  details=$(printf '%s\n' "${lines[@]:0:${#lines[@]}-1}")
}

# `pass NAME DIR [ctest options...]` runs ctest in DIR: its output goes to
# DIR/ctest-NAME.log, each test's output whole to DIR/ctest-NAME.xml.
pass() {
  local name=$1 dir=$2 start=$SECONDS status=0
  shift 2
  local log="$dir/ctest-$name.log" junit="$PWD/$dir/ctest-$name.xml"
  rm -f "$junit"
  printf '%s: ' "$name"
  ctest --test-dir "$dir" --no-tests=error -j "$(nproc)" --output-junit "$junit" \
    --test-output-size-passed 10000000 --test-output-size-failed 10000000 "$@" >"$log" 2>&1 || status=$?
  if [ -f "$junit" ]; then
    summary --junit "$junit"
    echo "$counts in $(took $((SECONDS - start))) (log: $log)"
    [ -z "$details" ] || echo "$details"
    stages+=("$name $counts")
    [[ $counts == *" 0 failed,"* ]] || status=1
  else
    echo "no result (ctest exit code $status) after $(took $((SECONDS - start)))"
    tail -n 20 "$log"
    stages+=("$name: no result")
    status=1
  fi
  [ "$status" -eq 0 ] || any_failed=1
}

# `step NAME LOG COMMAND...` runs a script that is a stage of its own, its
# output to LOG, and leaves its exit code in $status. When it fails, the log
# from its last "== " heading on (the part that failed) is printed.
# `step NAME LOG --results RESULTS_ARGS... -- COMMAND...` counts the cases
# the stage ran with scripts/test_results.py too.
step() {
  local name=$1 log=$2 start=$SECONDS results=()
  shift 2
  if [ "$1" = --results ]; then
    shift
    while [ "$1" != -- ]; do results+=("$1"); shift; done
    shift
  fi
  status=0
  mkdir -p "$(dirname "$log")"
  printf '%s: ' "$name"
  "$@" >"$log" 2>&1 || status=$?
  local outcome=passed
  [ "$status" -eq 0 ] || outcome="FAILED (exit code $status)"
  if [ ${#results[@]} -gt 0 ]; then
    summary "${results[@]}"
    outcome="$counts"
    [ "$status" -eq 0 ] || outcome+=", FAILED (exit code $status)"
  fi
  echo "$outcome in $(took $((SECONDS - start))) (log: $log)"
  if [ "$status" -ne 0 ]; then
    awk '/^== /{part=""} {part=part "    " $0 "\n"} END{printf "%s", part}' "$log"
    any_failed=1
  fi
  [ ${#results[@]} -eq 0 ] || [ -z "$details" ] || echo "$details"
  stages+=("$name $outcome")
}

totals() {
  local IFS=';'
  echo "totals: ${stages[*]}" | sed 's/;/; /g'
  return "$any_failed"
}
