# Environment shared by the Wine test runner and its set-up: a prefix inside the build
# tree, no Mono or Gecko prompts, no debug chatter. The prefix is 32-bit unless the state
# folder's file "arch" says win64 (the win64 build writes it at configure time).
#
# A 64-bit prefix is driven by Wine's 64-bit loader alone: `wine`, `wineboot` and
# `winepath` are shims in STATE/bin that start it directly, because Debian's `wine` always
# starts the 32-bit loader first, which cannot run where 32-bit x86 code cannot execute.

# wine_arch STATE: win32 or win64.
wine_arch() {
  local arch
  arch=$(cat "$1/arch" 2>/dev/null) || arch=win32
  [ "$arch" = win64 ] && echo win64 || echo win32
}

# prefix_arch PREFIX: win32 or win64 for a prefix Wine has made, nothing for none. Read off
# the tree wineboot makes, not system.reg: a persistent wineserver writes that file only
# some seconds after the prefix is made.
prefix_arch() {
  if [ -d "$1/drive_c/windows/syswow64" ]; then echo win64
  elif [ -d "$1/drive_c/windows/system32" ]; then echo win32
  fi
}

# wine64_loader: the path of Wine's 64-bit loader, or nothing.
wine64_loader() {
  local loader
  for loader in /usr/lib/wine/wine64 "$(command -v wine64 2>/dev/null)"; do
    [ -n "$loader" ] && [ -x "$loader" ] && { echo "$loader"; return 0; }
  done
  return 1
}

wine_env() {
  local state=$1
  export WINEPREFIX="$state/prefix"
  export WINEARCH
  WINEARCH=$(wine_arch "$state")
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  if [ -f "$state/display" ]; then
    export DISPLAY=":$(cat "$state/display")"
  fi
  if [ "$WINEARCH" = win64 ]; then
    local loader shims="$state/bin"
    loader=$(wine64_loader) || return 0
    export WINELOADER=$loader
    if [ ! -x "$shims/winepath" ]; then
      mkdir -p "$shims"
      printf '#!/bin/sh\nexec "%s" "$@"\n' "$loader" >"$shims/wine"
      printf '#!/bin/sh\nexec "%s" wineboot.exe "$@"\n' "$loader" >"$shims/wineboot"
      printf '#!/bin/sh\nexec "%s" winepath.exe "$@"\n' "$loader" >"$shims/winepath"
      chmod +x "$shims/wine" "$shims/wineboot" "$shims/winepath"
    fi
    case ":$PATH:" in *":$shims:"*) ;; *) export PATH="$shims:$PATH" ;; esac
  fi
}
