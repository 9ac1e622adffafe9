#!/usr/bin/env bash
# What emulate-i386 changes on a machine, decided on made-up machines: a folder standing for
# /etc, /usr and /proc (LMX_EMULATE_ROOT), apt-get, sudo and mount replaced by stubs, and a
# probe that answers as the machine would. Nothing on the real machine is touched.
# Usage: emulate_i386_test.sh EMULATE_I386
set -u
. "$(dirname "$0")/testbed.sh"

# The script beside a probe that says yes on a native machine or once our entry is registered.
mkdir -p "$work/bin" "$work/wine"
cp "$1" "$work/wine/emulate-i386"
cat >"$work/wine/probe-i386" <<'EOF'
#!/bin/sh
[ -e "$LMX_EMULATE_ROOT/native" ] || grep -q '^:lmx-i386:' "$LMX_EMULATE_ROOT/proc/sys/fs/binfmt_misc/register" &&
  { echo yes; exit 0; }
echo "no: Exec format error"; exit 1
EOF
# apt-get: the backports index is fetched when the file "served" exists, the backports
# package installs when "installs" does; the release's own qemu is version 7.
cat >"$work/bin/apt-get" <<'EOF'
#!/bin/sh
r=$LMX_EMULATE_ROOT
echo "apt-get $* (sources: $(ls "$r/etc/apt/sources.list.d" | tr '\n' ' '))" >>"$r/log"
qemu() { printf '#!/bin/sh\necho "qemu-i386 version %s.2.0"\n' "$1" >"$r/usr/bin/qemu-i386-static"; chmod +x "$r/usr/bin/qemu-i386-static"; }
case "$*" in
  update*) [ -e "$r/served" ] ;;
  *"-t "*) [ -e "$r/installs" ] && qemu 9 ;;
  *) qemu 7 ;;
esac
EOF
printf '#!/bin/sh\n"$@"\n' >"$work/bin/sudo"
printf '#!/bin/sh\necho "mount $*" >>"$LMX_EMULATE_ROOT/log"; exit 1\n' >"$work/bin/mount"
chmod +x "$work"/bin/* "$work"/wine/*

r=$work/root
export LMX_EMULATE_ROOT=$r
list=$r/etc/apt/sources.list.d/lmx-bookworm-backports.sources
misc=$r/proc/sys/fs/binfmt_misc
foreign='enabled
interpreter /usr/libexec/qemu-binfmt/i386-binfmt-P'
out=""
emulate() { out=$(PATH="$work/bin:$PATH" "$work/wine/emulate-i386" "$@" 2>&1); }
# machine OS-ID CODENAME FLAG...: a fresh made-up machine (flags: native served installs foreign).
machine() {
  rm -rf "$r"
  mkdir -p "$r/etc/apt/sources.list.d" "$misc" "$r/usr/bin"
  printf 'ID=%s\nVERSION_CODENAME=%s\n' "$1" "$2" >"$r/etc/os-release"
  : >"$misc/register"
  shift 2
  local flag
  for flag in "$@"; do touch "$r/$flag"; done
  [ ! -e "$r/foreign" ] || echo "$foreign" >"$misc/qemu-i386"
}
says() { [[ "$out" == *"$1"* ]] || fail "$2: the output lacks \"$1\": $out"; }

# case            os     codename  flags                      exit  source kept  entry
while read -r name os codename flags code source entry; do
  # shellcheck disable=SC2086
  machine "$os" "$codename" ${flags//,/ }
  before=$(cd "$r" && find . | sort)
  emulate; status=$?
  [ "$status" -eq "$code" ] || fail "$name: exit status $status, expected $code: $out"
  [ -e "${list/bookworm/$codename}" ] && got=yes || got=no
  [ "$got" = "$source" ] || fail "$name: apt source present: $got, expected $source: $out"
  grep -q '^:lmx-i386:M::.*:F$' "$misc/register" && got=yes || got=no
  [ "$got" = "$entry" ] || fail "$name: binfmt entry registered: $got, expected $entry"
  ! grep -q 'apt-get update.*sources: [^)]' "$r/log" 2>/dev/null ||
    fail "$name: the apt source was written before the mirror was asked: $(cat "$r/log")"
  case "$name" in
    native) [ ! -e "$r/log" ] && [ "$(cd "$r" && find . | sort)" = "$before" ] ||
              fail "native: the machine was changed: $(cat "$r/log" 2>/dev/null)" ;;
    install-fails) says "added the apt source" "$name"; says "removed the apt source" "$name" ;;
    emulated) says "added the apt source" "$name"; says "installed qemu-user-static from bookworm-backports" "$name"
              says "registered the binfmt_misc entry lmx-i386" "$name" ;;
  esac
  [ ! -e "$misc/qemu-i386" ] || [ "$(cat "$misc/qemu-i386")" = "$foreign" ] || fail "$name: the qemu-i386 entry was changed"
done <<'EOF'
native          debian bookworm native,served,installs     0 no  no
ubuntu          ubuntu jammy    served,installs            1 no  no
archived        debian buster   installs                   1 no  no
install-fails   debian bookworm served                     1 no  no
emulated        debian bookworm served,installs,foreign    0 yes yes
EOF

# --undo after the last case: the source and our entry go, the foreign entry stays.
echo "enabled" >"$misc/lmx-i386"
emulate --undo || fail "--undo exited with $?"
[ ! -e "$list" ] || fail "--undo left the apt source"
[ "$(cat "$misc/lmx-i386")" = -1 ] || fail "--undo did not remove the entry lmx-i386"
[ "$(cat "$misc/qemu-i386")" = "$foreign" ] || fail "--undo changed the qemu-i386 entry"
says "removed the apt source" "--undo"; says "removed the binfmt_misc entry lmx-i386" "--undo"

finish "emulate_i386: all checks passed"
