#!/usr/bin/env bash
# The long fault trials: 200 exports killed with SIGKILL at random moments,
# and the other fault cases, through the command line of build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
/usr/bin/python3 "$root/tests/faults/test_faults.py" "$root/build/src/transhoralotuxa-cli" --long
