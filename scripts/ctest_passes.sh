# Sourced by ./test. `pass NAME DIR [ctest options...]` runs ctest in DIR and
# keeps its totals; `totals` prints them as one line and fails when a test
# failed or a pass gave no result. A pass that fails does not stop the next.
passes=()
any_failed=0

pass() {
  local name=$1 dir=$2
  shift 2
  local log="$dir/ctest-$name.log" status=0
  ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$(nproc)" "$@" 2>&1 | tee "$log" || status=$?
  # "100% tests passed, 0 tests failed out of 523"; skipped tests count as passed there
  local line skipped
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+$' "$log" | tail -n 1) || true
  skipped=$(grep -c -E '\(Skipped\)$' "$log") || true
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    local failed=${BASH_REMATCH[1]} total=${BASH_REMATCH[2]}
    local text="$name: $((total - failed - skipped)) passed, $failed failed"
    [ "$skipped" -gt 0 ] && text+=" ($skipped skipped)"
    passes+=("$text")
  else
    passes+=("$name: no result (ctest exit code $status, see $log)")
    status=1
  fi
  [ "$status" -eq 0 ] || any_failed=1
}

# `step NAME COMMAND...` runs a command that is a pass of its own (the Windows
# build under Wine) and keeps whether it passed.
step() {
  local name=$1
  shift
  if "$@"; then passes+=("$name: passed"); else passes+=("$name: failed"); any_failed=1; fi
}

totals() {
  local IFS=';'
  echo "${passes[*]}" | sed 's/;/; /g'
  return "$any_failed"
}
