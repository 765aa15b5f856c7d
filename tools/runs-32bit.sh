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

# why_no_wine32: empty where wine32's server starts; else why not, in words
# that tell a kernel without 32-bit programs from a missing wine32.
why_no_wine32() {
  /usr/lib/wine/wineserver32 --version >/dev/null 2>&1 && return 0
  if ! kernel_runs_32bit; then
    echo "this kernel refuses 32-bit programs (a 32-bit test program did not run)"
  elif [[ ! -e /usr/lib/wine/wineserver32 ]]; then
    echo "this kernel runs 32-bit programs, but wine32 is not installed (or could not be installed here)"
  else
    local why
    why=$( { /usr/lib/wine/wineserver32 --version; } 2>&1 | tail -n1)
    echo "this kernel runs 32-bit programs, but wine32 does not start (${why:-no reason given})"
  fi
}
