#!/usr/bin/env bash
# The benchmark's walk as in a fresh clone, where no test tree (build/) has
# made a layouts program: bench/run.py hands walk.sh the one it builds in
# build-bench/, the driver says which it uses, and without one the walk stops
# before any launcher starts, saying why. $1: a built layouts program.
# shellcheck source=../harness/harness.sh
source "$(dirname "$0")/../harness/harness.sh"
root=$(cd "$(dirname "$0")/../.." && pwd) layouts=$1
clone=$(mktemp -d)
at_exit "rm -rf '$clone'"
mkdir -p "$clone/bench" "$clone/tests/harness" "$clone/tests/sequence"
cp "$root"/bench/{run.py,wine.py,measure.py,walk.sh} "$clone/bench/"
cp "$root"/tests/harness/{harness.sh,launcher-driver.sh} "$clone/tests/harness/"
cp "$root"/tests/sequence/walks.txt "$clone/tests/sequence/"
# run.py's walk of the accept path, on a CD folder without a launcher: it
# fails either way, after the driver has chosen its layouts.
walk() {
  (cd "$clone" && python3 -c 'import sys; sys.path.insert(0, "bench"); import run; run.walk("800x600", {}, sys.argv[1])' \
    "$clone/no-cd") 2>&1 || true
}
lacks() { ! grep -q "$@"; }

out=$(walk)
check "without a layouts program the walk names the one it was handed" \
  grep -qF "no layouts program at $clone/build-bench/tests/harness/layouts" <<<"$out"
check "... and stops before starting a launcher, not on an unset figure" \
  lacks -e "unbound variable" -e "the launcher did not start" <<<"$out"

mkdir -p "$clone/build-bench/tests/harness"
ln -s "$layouts" "$clone/build-bench/tests/harness/layouts"
out=$(walk)
check "the walk takes the layouts program in build-bench/ and says so" \
  grep -qF "window layouts from $clone/build-bench/tests/harness/layouts" <<<"$out"
check "... and goes on to start the launcher" grep -qF "the launcher did not start" <<<"$out"
