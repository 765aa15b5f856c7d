#!/usr/bin/env bash
# Holds START.EXE's manifest to what Windows XP SP3's strict parser needs,
# since XP refuses to load a program whose manifest it cannot take: an XML
# declaration of UTF-8 over plain ASCII (no question of encoding, nor a byte
# order mark, arises), well-formed to a strict XML parser
# (xmllint), the root `assembly` of urn:schemas-microsoft-com:asm.v1 with
# manifestVersion 1.0, first of all the program's own assemblyIdentity (win32,
# a name, a four-part version, the program's processor), and the Common
# Controls 6 dependency in the form XP resolves. Elements of other namespaces
# (trustInfo, compatibility, the DPI settings) XP ignores; they must parse all
# the same. With OBJCOPY and EXE, the program must carry exactly this manifest.
# MANIFEST is the build's template: its processor filled in with ARCH.
#   xp_manifest.sh MANIFEST ARCH [OBJCOPY EXE]
template=$1 arch=$2
# shellcheck source=../harness/harness.sh
source "$(dirname "$0")/../harness/harness.sh"
manifest=$(mktemp)
at_exit "rm -f '$manifest'"
sed "s/@START_MANIFEST_ARCH@/$arch/g" "$template" >"$manifest"
no() { fail "$@"; }
is() {  # is XPATH WHAT: the XPath expression must be true
  [[ $(xmllint --xpath "boolean($1)" "$manifest" 2>/dev/null) == true ]] || no "$2"
}

LC_ALL=C grep -q '[^ -~]' <(tr -d '\r\n\t' <"$manifest") && no "$manifest: not plain ASCII"
[[ $(head -c 55 "$manifest") == '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>' ]] ||
  no "$manifest: does not open with the XML declaration of UTF-8, standalone"
if ! err=$(xmllint --noout --nonet "$manifest" 2>&1); then
  no "$manifest: not well-formed: $err"
else
  v1="namespace-uri()='urn:schemas-microsoft-com:asm.v1'"
  is "/*[local-name()='assembly' and $v1 and @manifestVersion='1.0']" \
    "the root is not asm.v1's assembly with manifestVersion 1.0"
  is "/*/*[1][local-name()='assemblyIdentity' and $v1]" "assemblyIdentity is not the assembly's first element"
  is "count(/*/*[local-name()='assemblyIdentity']) = 1" "not exactly one assemblyIdentity of the program"
  own="/*/*[local-name()='assemblyIdentity']"
  is "$own[@type='win32' and string-length(@name) > 0 and @processorArchitecture='$arch']" \
    "the program's assemblyIdentity lacks type win32, a name or processorArchitecture $arch"
  version=$(xmllint --xpath "string($own/@version)" "$manifest" 2>/dev/null || true)
  if [[ ! $version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)\.([0-9]+)$ ]]; then
    no "the program's version '$version' is not four numbers"
  else
    for part in "${BASH_REMATCH[@]:1}"; do ((10#$part <= 65535)) || no "the program's version '$version' has a part above 65535"; done
  fi
  is "/*/*[local-name()='dependency' and $v1]/*[local-name()='dependentAssembly' and $v1]/*[local-name()='assemblyIdentity' and $v1
      and @type='win32' and @name='Microsoft.Windows.Common-Controls' and @version='6.0.0.0'
      and (@processorArchitecture='$arch' or @processorArchitecture='*') and @publicKeyToken='6595b64144ccf1df' and @language='*']" \
    "no dependency on Common Controls 6.0.0.0 in the form XP resolves"
fi

if [[ $# -ge 4 ]]; then
  objcopy=$3 exe=$4
  carried=$("$objcopy" -O binary -j .rsrc "$exe" /dev/stdout 2>/dev/null |
    perl -0777 -ne 'print $1 if /(<\?xml.*?<\/assembly>\s*)/s' || true)
  [[ $carried == "$(cat "$manifest")" ]] || no "$exe: does not carry $manifest as it is"
fi
((HARNESS_FAILED > 0)) || echo "the manifest parses and has what Windows XP SP3 needs"
