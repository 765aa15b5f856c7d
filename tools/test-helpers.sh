# Counting checks for the test scripts that make several checks: each check
# prints one PASS or FAIL line, and summary ends with "N passed, M failed"
# and fails where one did. Sourced.
passed=0
failed=0

pass() { passed=$((passed + 1)); echo "PASS $*"; }
fail() { failed=$((failed + 1)); echo "FAIL $*"; }
check() {  # check NAME COMMAND...: passes when the command succeeds
  local name=$1
  shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}
summary() {
  echo
  echo "$passed passed, $failed failed"
  [[ $failed -eq 0 ]]
}
