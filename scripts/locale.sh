# Sourced by the scripts that start the programs. Qt needs a UTF-8 locale and says so four
# times at every start where there is none (a fresh machine is in "C"): C.UTF-8 is on every
# Debian system. A UTF-8 locale of the user's own is kept.
[ "$(locale charmap 2>/dev/null)" = "UTF-8" ] || export LC_ALL=C.UTF-8
