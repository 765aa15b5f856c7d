# kernel_runs_32bit: whether this kernel runs 32-bit x86 programs, found by
# running one: a 96-byte static ELF of our own that only exits with status
# 42. Asks no package, so it answers the same before wine is installed as
# after. Sourced by the install and test scripts.
kernel_runs_32bit() {
  local dir status
  dir=$(mktemp -d) || return 1
  # ELF header, one loadable segment at 0x08048000, then
  # mov eax,1; mov ebx,42; int 0x80.
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'`
        `'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'`
        `'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'`
        `'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'`
        `'\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00'`
        `'\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$dir/exit42"
  chmod +x "$dir/exit42"
  "$dir/exit42" 2>/dev/null
  status=$?
  rm -rf "$dir"
  [[ $status -eq 42 ]]
}

_runs32_tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# wine32_loader: the wine that runs the i686 build: the system's where its
# wine32 starts, else the one in wine32's own root (tools/wine32/wine32-root.sh);
# empty where neither does.
wine32_loader() {
  if /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
    echo /usr/bin/wine
  elif "$_runs32_tools/wine32-root.sh" works; then
    echo "$_runs32_tools/bin/wine"
  fi
}

# why_no_wine32: empty where wine32 starts; else why not, in words that tell
# a kernel without 32-bit programs from a missing wine32.
why_no_wine32() {
  [[ -n $(wine32_loader) ]] && return 0
  if ! kernel_runs_32bit; then
    echo "this kernel refuses 32-bit programs (a 32-bit test program did not run)"
  elif [[ -e /usr/lib/wine/wineserver32 ]]; then
    local why
    why=$( { /usr/lib/wine/wineserver32 --version; } 2>&1 | tail -n1)
    echo "this kernel runs 32-bit programs, but wine32 does not start (${why:-no reason given})"
  else
    echo "this kernel runs 32-bit programs, but wine32 is not installed, on the system or in a root of its own (tools/install-deps.sh --tests makes one)"
  fi
}

# wine32_where LOADER: in words, for the test command's line.
wine32_where() {
  if [[ $1 == /usr/bin/wine ]]; then echo "the system's wine32"
  else echo "wine32 in its own root (${START_WINE32_ROOT:-/var/cache/mirelund/wine32-root}), the host's packages left alone"
  fi
}
