# Environment shared by the Wine test runner and its set-up: a 32-bit prefix inside the
# build tree, no Mono or Gecko prompts, no debug chatter.
wine_env() {
  local state=$1
  export WINEPREFIX="$state/prefix"
  export WINEARCH=win32
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  if [ -f "$state/display" ]; then
    export DISPLAY=":$(cat "$state/display")"
  fi
}
