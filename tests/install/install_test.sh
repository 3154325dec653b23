#!/usr/bin/env bash
# Installs the game as a player would and runs what was installed.
#
#   install_test.sh prefix  CMAKE SOURCE BUILD BUILT PROGRAM_DIR APP_ID VERSION
#     `cmake --install` of the component "game" into a temporary prefix; the
#     files where a desktop looks for them, the menu entry and metadata
#     validated, the manual page formatted, then the game started through the
#     menu entry's Exec line.
#   install_test.sh archive CPACK SOURCE BUILD BUILT VERSION
#     the portable archive made and unpacked in a temporary folder, then the
#     game started from there.
#
# BUILD is the build folder, BUILT the folder of the built program.
# Every run plays the same script headless (title, tap the panel, board
# selection, shot) and must draw exactly what the build's own program draws.
set -euo pipefail

mode=$1 tool=$2 source=$3 build=$4 built=$5
work=$(mktemp -d "${TMPDIR:-/tmp}/quillmoth-install.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A run never meets a copy the player is running, nor reads their records.
export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" SDL_AUDIODRIVER=dummy
# play PROGRAM SHOT [SCRIPT]: from a folder of its own, as a menu would.
play() {
  local program=$1 shot=$2 run
  local script=${3:-$'wait 5\ntap 120 280\nwait 5\nshot '"$shot"$'\n'}
  run=$(mktemp -d "$work/run.XXXXXX")
  (cd "$run" && QUILLMOTH_RUNTIME_DIR="$run" "$program" --headless --script - <<<"$script" \
    >/dev/null) || fail "$program ended with status $?"
  [ -s "$shot" ] || fail "$program wrote no $shot"
}

# The reference: the build's program with its data, copied away from the
# build folder, which may hold somebody's records.
reference="$work/reference"
mkdir -p "$reference"
cp -R "$built/quillmoth" "$built/Graph" "$built/Sound" "$built/quillmoth.png" "$reference/"
play "$reference/quillmoth" "$work/title.png" $'wait 10\nshot '"$work/title.png"$'\n'
play "$reference/quillmoth" "$work/reference.png"
cmp -s "$work/title.png" "$work/reference.png" && fail "the tap on the title's panel was not taken"

# The pictures and sounds in a program folder are the build's.
same_data() {
  for sub in Graph Sound; do diff -r "$built/$sub" "$1/$sub" || fail "$sub differs in $1"; done
}

# The six records a board size (seconds, then moves), little-endian.
records() {
  local value
  for value in "$@"; do
    printf "\\x$(printf %02x $((value & 255)))\\x$(printf %02x $((value >> 8 & 255)))\\x00\\x00"
  done
}

case "$mode" in
prefix)
  program_dir=$6 app_id=$7 version=$8
  prefix="$work/prefix"
  "$tool" --install "$build" --strip --prefix "$prefix" --component game
  installed="$prefix/$program_dir"

  # The program folder, and the link to it; --strip leaves no symbols.
  [ -x "$installed/quillmoth" ] || fail "no program in $installed"
  if readelf -S "$installed/quillmoth" | grep -Eq '\.(symtab|debug_info)'; then
    fail "the installed program was not stripped"
  fi
  same_data "$installed"
  cmp "$built/quillmoth.png" "$installed/quillmoth.png" || fail "window icon differs"
  link=$(readlink "$prefix/bin/quillmoth") # no link: readlink fails
  [ "${link:0:1}" != / ] || fail "bin/quillmoth links to an absolute path: $link"
  [ "$prefix/bin/quillmoth" -ef "$installed/quillmoth" ] || fail "bin/quillmoth -> $link is not the program"

  # Menu entry.
  entry="$prefix/share/applications/$app_id.desktop"
  report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
  [ -z "$report" ] || fail "desktop-file-validate: $report"
  for line in Name=Quillmoth Categories='Game;BoardGame;' Terminal=false "Icon=$app_id" \
    "Exec=$prefix/bin/quillmoth"; do
    grep -qxF "$line" "$entry" || fail "$entry has no line $line"
  done
  grep -q '^Comment=.' "$entry" || fail "$entry has no comment"

  # Theme icons: the generator's pictures, one a size.
  for size in 16 32 48 64 128 256; do
    cmp "$built/icons/${size}x$size.png" \
      "$prefix/share/icons/hicolor/${size}x$size/apps/$app_id.png" || fail "icon $size"
  done

  # AppStream metadata.
  metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
  appstreamcli validate --no-net --pedantic "$metainfo"
  grep -qF "<id>$app_id</id>" "$metainfo" || fail "metadata id"
  grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "metadata launchable"
  newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1)
  [ "$newest" = "<release version=\"$version\"" ] ||
    fail "the newest release in the metadata is $newest, the project is $version"
  shots=$(grep -o '<image[^>]*>[^<]*</image>' "$metainfo" | sed 's/<[^>]*>//g')
  [ -n "$shots" ] || fail "no screenshot in the metadata"
  for url in $shots; do
    [ -f "$source/docs/${url##*/}" ] || fail "screenshot $url is none of docs/*.png"
  done

  # Manual page: formats without a warning, names the installed folder and
  # every option the program lists.
  page="$prefix/share/man/man6/quillmoth.6"
  text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man --warnings -E ascii -l "$page" 2>"$work/man.err")
  [ ! -s "$work/man.err" ] || fail "manual page: $(cat "$work/man.err")"
  grep -qF "$installed/quill.dat" <<<"$text" || fail "the manual page does not name $installed"
  options=$("$installed/quillmoth" --help |
    sed -n 's/^  \(-[a-z]\), \(--[a-z-]*\).*/\1 \2/p; t; s/^  \(--[a-z-]*\).*/\1/p')
  [ -n "$options" ] || fail "no options in --help"
  for option in $options; do
    grep -qE -- "(^|[^-a-z])$option([^-a-z]|\$)" <<<"$text" || fail "the manual page has no $option"
  done

  # The game started as the menu starts it.
  play "$prefix/bin/quillmoth" "$work/installed.png"
  cmp "$work/reference.png" "$work/installed.png" || fail "the installed copy drew another picture"
  ;;

archive)
  version=$6
  name="quillmoth-$version-Linux"
  (cd "$work" && "$tool" --config "$build/CPackConfig.cmake" -B "$work/package")
  archive="$work/package/$name.tar.gz"
  # One top folder, the program folder as the build has it.
  outside=$(tar -tzf "$archive" | grep -v "^$name/" || true)
  [ -z "$outside" ] || fail "outside $name/: $outside"
  anywhere="$work/some where/else"
  mkdir -p "$anywhere"
  tar -xzf "$archive" -C "$anywhere"
  unpacked="$anywhere/$name"
  for file in quillmoth quillmoth.png README.md LICENSE; do
    [ -f "$unpacked/$file" ] || fail "no $file in the archive"
  done
  same_data "$unpacked"

  play "$unpacked/quillmoth" "$work/unpacked.png"
  cmp "$work/reference.png" "$work/unpacked.png" || fail "the unpacked copy drew another picture"

  # Records beside the program: a 2 x 4 best of 17 s and 9 moves, put beside
  # both copies, shows in both tables.
  records 17 999 999 999 999 999 9 999 999 999 999 999 >"$unpacked/quill.dat"
  cp "$unpacked/quill.dat" "$reference/quill.dat"
  play "$reference/quillmoth" "$work/reference-records.png"
  play "$unpacked/quillmoth" "$work/unpacked-records.png"
  cmp -s "$work/reference.png" "$work/reference-records.png" &&
    fail "the records table did not change with quill.dat"
  cmp "$work/reference-records.png" "$work/unpacked-records.png" ||
    fail "the unpacked copy did not read the records beside it"
  ;;

*) fail "unknown mode $mode" ;;
esac
