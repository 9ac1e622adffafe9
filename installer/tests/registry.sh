# Sourced by the Wine tests that read what an installation registers, after wine_env and
# with a function fail MESSAGE: the key, value KEY NAME ("TYPE DATA", or nothing when the
# value is not there), expect_value KEY NAME "TYPE DATA", expect_values KEY NAME "TYPE DATA"...,
# and check_defaults, the values a new installation gets under $key.
key='HKLM\Software\Corvane\LumoraFX\CurrentVersion'
value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *\(REG_[A-Z_]*\) *\(.*\)\$/\1 \2/p"
}
expect_value() {
  local got; got=$(value "$1" "$2")
  [ "$got" = "$3" ] || fail "$2 reads \"$got\", expected \"$3\""
}
expect_values() {
  local k=$1; shift
  while [ $# -ge 2 ]; do expect_value "$k" "$1" "$2"; shift 2; done
}
check_defaults() {
  expect_values "$key" OrgFile "REG_SZ DEFAULT" Prev_Frames "REG_DWORD 0x14" Prev_Speed "REG_DWORD 0xa" \
    Prev_Quality "REG_DWORD 0x1" Prev_Render "REG_DWORD 0x1"
}
