# Sourced by ./test. Each stage prints one line when it ends, with how long it
# took, and while it runs a line that shows it moving (scripts/progress.sh);
# what it printed goes to a log, shown only where it helps
# (the failures in full, the reasons for skipped cases). `totals` ends with
# one line for every stage and fails when any stage failed. A stage that
# fails does not stop the next.
stages=()
any_failed=0

source scripts/progress.sh

# `build DIR COMMAND...`: a command that builds DIR through scripts/build.sh,
# which keeps the build's progress in DIR/build.log and prints only warnings
# and errors, on standard error. A failed build ends the whole run: nothing
# after it could pass.
build() {
  local dir=$1 start=$SECONDS status=0 said
  shift
  # The build's own progress line reaches the terminal; its warnings and
  # errors are kept to be printed after the stage's line.
  { said=$("$@" 2>&1 1>&3 3>&-) || status=$?; } 3>&1
  if [ "$status" -ne 0 ]; then
    echo "build $dir: failed after $(took $((SECONDS - start)))"
    echo "$said"
    exit 1
  fi
  echo "build $dir: $(took $((SECONDS - start))) (log: $dir/build.log)"
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
  with_progress "$name" "$log" '^ *[0-9]+/[0-9]+ Test ' \
    ctest --test-dir "$dir" --no-tests=error -j "$(nproc)" --output-junit "$junit" \
    --test-output-size-passed 10000000 --test-output-size-failed 10000000 "$@" || status=$?
  if [ -f "$junit" ]; then
    summary --junit "$junit"
    echo "$name: $counts in $(took $((SECONDS - start))) (log: $log)"
    [ -z "$details" ] || echo "$details"
    stages+=("$name $counts")
    [[ $counts == *" 0 failed,"* ]] || status=1
  else
    echo "$name: no result (ctest exit code $status) after $(took $((SECONDS - start)))"
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
  # A stage's script marks its parts with "== " headings: the last one shows where it is.
  with_progress "$name" "$log" '^== ' "$@" || status=$?
  local outcome=passed
  [ "$status" -eq 0 ] || outcome="FAILED (exit code $status)"
  if [ ${#results[@]} -gt 0 ]; then
    summary "${results[@]}"
    outcome="$counts"
    [ "$status" -eq 0 ] || outcome+=", FAILED (exit code $status)"
  fi
  echo "$name: $outcome in $(took $((SECONDS - start))) (log: $log)"
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
