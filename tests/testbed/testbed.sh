# Sourced by the testbed's tests: $work, a scratch folder removed on exit; fail MESSAGE,
# which counts a failure; finish VERDICT, which prints VERDICT when none failed and exits.
work=$(mktemp -d "${TMPDIR:-/tmp}/lmx-testbed.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
finish() { [ "$failures" -eq 0 ] && echo "$1"; exit $((failures > 0)); }
