# Sourced by the set-up, build and test scripts: a long step shows that it is
# moving. `with_progress LABEL LOG PATTERN COMMAND...` runs COMMAND with its
# output to LOG and returns its exit code; meanwhile, on a terminal, one line
# "LABEL: TIME, LAST" is kept up to date, where LAST is the last line of LOG
# that matches the extended regular expression PATTERN (ninja's "[12/345] ..."
# for a build); elsewhere (CI, a log) that line is printed every 30 seconds.
# The line goes to standard output; on a terminal it is cleared at the end.

# "1 min 5 s" from a number of seconds
took() {
  if [ "$1" -ge 60 ]; then echo "$(($1 / 60)) min $(($1 % 60)) s"; else echo "$1 s"; fi
}

with_progress() {
  local label=$1 log=$2 pattern=$3 start=$SECONDS said=$SECONDS status=0 pid line width
  shift 3
  "$@" >"$log" 2>&1 </dev/null &
  pid=$!
  width=$(tput cols 2>/dev/null || echo 100)
  while kill -0 "$pid" 2>/dev/null; do
    sleep 1
    if [ -t 1 ] || [ $((SECONDS - said)) -ge 30 ]; then
      line="$label: $(took $((SECONDS - start))), $(grep -E "$pattern" "$log" 2>/dev/null | tail -n 1)"
      if [ -t 1 ]; then
        printf '\r\033[K%s' "${line:0:$((width - 1))}"
      else
        echo "${line:0:160}"
        said=$SECONDS
      fi
    fi
  done
  wait "$pid" || status=$?
  if [ -t 1 ]; then printf '\r\033[K'; fi
  return "$status"
}
