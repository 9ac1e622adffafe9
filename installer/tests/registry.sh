# Sourced by the Wine tests that read what an installation registers, after wine_env and
# with a function fail MESSAGE: the key, value KEY NAME ("TYPE DATA", or nothing when the
# value is not there), expect_value KEY NAME "TYPE DATA", and check_defaults, the values a
# new installation gets under $key.
key='HKLM\Software\Corvane\LumoraFX\CurrentVersion'
value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *\(REG_[A-Z_]*\) *\(.*\)\$/\1 \2/p"
}
expect_value() {
  local got; got=$(value "$1" "$2")
  [ "$got" = "$3" ] || fail "$2 reads \"$got\", expected \"$3\""
}
check_defaults() {
  expect_value "$key" OrgFile "REG_SZ DEFAULT"
  expect_value "$key" Prev_Frames "REG_DWORD 0x14"
  expect_value "$key" Prev_Speed "REG_DWORD 0xa"
  expect_value "$key" Prev_Quality "REG_DWORD 0x1"
  expect_value "$key" Prev_Render "REG_DWORD 0x1"
}
