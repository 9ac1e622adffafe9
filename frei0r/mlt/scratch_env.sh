# Sourced: mlt_scratch_env DIR ROOT makes MLT load the lumorafx module and descriptions
# under ROOT (a prefix: lib/<triplet>/mlt-7, share/mlt-7) without installing them.
# MLT_REPOSITORY and MLT_DATA replace MLT's own folders, so DIR links MLT's modules and
# data beside ours. Exports MLT_REPOSITORY and MLT_DATA.
mlt_scratch_env() {
  local dir=$1 root=$2 modules data d
  modules=$(pkg-config --variable=moduledir mlt-framework-7) || return 1
  data=$(pkg-config --variable=mltdatadir mlt-framework-7) || return 1
  rm -rf "$dir" && mkdir -p "$dir/modules" "$dir/data/frei0r" || return 1
  ln -s "$modules"/* "$dir/modules/"
  ln -s "$root"/lib/*/mlt-7/libmltlumorafx.so "$dir/modules/" || return 1
  for d in "$data"/*; do [ "$(basename "$d")" = frei0r ] || ln -s "$d" "$dir/data/"; done
  ln -s "$data"/frei0r/* "$root"/share/mlt-7/frei0r/* "$dir/data/frei0r/" || return 1
  ln -s "$root"/share/mlt-7/lumorafx "$dir/data/lumorafx" || return 1
  export MLT_REPOSITORY=$dir/modules MLT_DATA=$dir/data
}
