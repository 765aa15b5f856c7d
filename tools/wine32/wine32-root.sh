#!/usr/bin/env bash
# wine32 in a root of its own, for machines where it cannot be installed
# beside the rest: its i386 libraries must have the very versions of their
# amd64 twins, and when the security suite's i386 index fails to download,
# the amd64 ones from security updates have no twin, so apt would remove or
# downgrade half the desktop to make room. This root is the release suite
# alone, amd64 and i386, with wine32 in it; the host's packages are left as
# they are.
#   wine32-root.sh make             makes the root where it is missing or broken
#   wine32-root.sh start | wait     the same in the background; waits until it is done
#   wine32-root.sh works            exit 0 where the root's wine32 starts
#   wine32-root.sh run PROGRAM ...  runs PROGRAM inside the root
# tools/wine32/bin/wine and tools/wine32/bin/wineserver are the loader and server
# through it. A program runs in a mount namespace of its own in which /dev,
# /proc, /sys, /tmp (the X server's and wineserver's sockets), this checkout,
# the working folder and $HOME are the host's, at the same paths. It keeps
# the caller's process id, environment and working folder, so a script
# measures or kills it as it would the system's wine.
set -uo pipefail
checkout=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
root=${START_WINE32_ROOT:-/var/cache/mirelund/wine32-root}

# Whatever the X11 driver loads at run time as well (RandR for the monitors,
# Render for text, XInput for the mouse), and wine's own fonts: what a normal
# install brings as recommended, less the 3D and media stacks.
packages=(wine wine32:i386 fonts-wine fonts-liberation
          libxrandr2:i386 libxinerama1:i386 libxrender1:i386 libxcursor1:i386 libxfixes3:i386
          libxi6:i386 libxcomposite1:i386 libxxf86vm1:i386 libdbus-1-3:i386 libgnutls30:i386)

# The host's own mirrors, for the release suite and its updates only.
sources() {  # sources CODENAME
  apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 2>/dev/null | sort -u |
    awk -v rel="$1" '$2 == rel || $2 == rel "-updates" { print "deb " $1 " " $2 " main" }'
}

works() {
  [[ -f $root/.complete ]] && (run /usr/bin/wineserver --version) >/dev/null 2>&1
}

make_root() {
  works && return 0
  command -v mmdebstrap >/dev/null || { echo "wine32-root: mmdebstrap is not installed"; return 1; }
  local list codename tmp include
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  mapfile -t list < <(sources "$codename")
  [[ ${#list[@]} -gt 0 ]] || { echo "wine32-root: apt names no mirror for $codename"; return 1; }
  # Made beside and moved in whole: an interrupted run leaves no half root.
  tmp=$root.new
  rm -rf "$tmp" "$root"
  mkdir -p "$(dirname "$root")"
  include=$(IFS=,; echo "${packages[*]}")
  if ! mmdebstrap --quiet --variant=essential --architectures=amd64,i386 --include="$include" \
      "$codename" "$tmp" "${list[@]}" >"$root.log" 2>&1; then
    echo "wine32-root: mmdebstrap failed (see $root.log)"
    rm -rf "$tmp"
    return 1
  fi
  date -u +%FT%TZ >"$tmp/.complete"
  mv "$tmp" "$root"
  works || { echo "wine32-root: the root was made, but its wineserver does not start (see $root.log)"; return 1; }
}

# A root in the making is marked by ROOT.pending, holding the maker's process
# id, from before start returns until the maker ends.
start() {
  mkdir -p "$(dirname "$root")"
  echo "wine32-root: making $root in the background (log: $root.log)"
  setsid bash -c 'echo $$ >"$1.pending"; exec "$2" make' wine32-root "$root" "$checkout/tools/wine32/wine32-root.sh" \
    </dev/null >"$root.out" 2>&1 &
  while [[ ! -s $root.pending ]] && kill -0 $! 2>/dev/null; do sleep 0.05; done
}

wait_root() {
  local pid
  pid=$(cat "$root.pending" 2>/dev/null) || return 0
  while [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; do sleep 1; done
  rm -f "$root.pending"
  cat "$root.out" 2>/dev/null
}

run() {
  [[ -d $root/usr ]] || { echo "wine32-root: no root at $root (tools/install-deps.sh --tests makes it)" >&2; return 127; }
  local binds=(/dev /proc /sys /tmp "$checkout" "$PWD") b
  [[ -d ${HOME:-} ]] && binds+=("$HOME")
  # unshare and chroot replace themselves (exec): the program keeps this pid.
  exec unshare --mount --propagation private -- /bin/bash -c '
    root=$1 cwd=$2 n=$3
    shift 3
    for b in "${@:1:n}"; do
      [[ -d $b && ! $b -ef $root$b ]] || continue
      mkdir -p "$root$b" && mount --rbind "$b" "$root$b" || exit 126
    done
    shift "$n"
    exec chroot "$root" /usr/bin/env --chdir="$cwd" "$@"' \
    wine32-root "$root" "$PWD" "${#binds[@]}" "${binds[@]}" "$@"
}

case ${1:-} in
  make) make_root ;;
  start) start ;;
  wait) wait_root ;;
  works) works ;;
  run) shift; run "$@" ;;
  *) echo "usage: wine32-root.sh make | works | run PROGRAM [ARGS...]" >&2; exit 2 ;;
esac
