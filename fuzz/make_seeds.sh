#!/usr/bin/env bash
# Writes the seed corpus in fuzz/corpus/ (kept in the repository; run this
# again after changing it). Each seed is a small input that reaches one path
# the fuzzer should start from.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p corpus && cd corpus

# bytes B... : each argument, a number 0..255, as one byte.
bytes() {
  local b
  for b in "$@"; do printf "\\x$(printf %02x "$b")"; done
}
le16() { bytes $(($1 & 255)) $(($1 >> 8 & 255)); }

# --- pictures: flags, width and height selectors, then the file ---
# flags: bits 0/7 colour-mapped, bits 1-2 width kind, 3-4 height kind
# (0 small 1..64 from the selector, 1 zero, 2 negative, 3 huge), bit 5 no
# file, bit 6 no folder.
mkdir -p tga
# tga_header TYPE WIDTH HEIGHT DESCRIPTOR: 18 bytes for a colour-mapped (type
# 1, 256 entries of 24 bits, 8-bit indices) or direct (type 2, 16-bit) file.
tga_header() {
  if [ "$1" -eq 1 ]; then bytes 0 1 1 0 0 0 1 24; else bytes 0 0 2 0 0 0 0 0; fi
  bytes 0 0 0 0
  le16 "$2"
  le16 "$3"
  if [ "$1" -eq 1 ]; then bytes 8; else bytes 16; fi
  bytes "$4"
}
# A colour map whose entries differ in every channel: blue i, green 255-i,
# red 7i.
palette() {
  local i
  for ((i = 0; i < 256; i++)); do bytes "$i" $((255 - i)) $((7 * i & 255)); done
}
{ bytes 1; le16 3; le16 2   # mapped 4 x 3, bottom-up, a footer past the pixels
  tga_header 1 4 3 0; palette; bytes 0 1 2 3 4 5 6 7 8 9 250 255 84 82 85 69; } >tga/mapped-bottom-up
{ bytes 0x81; le16 2; le16 1  # mapped 3 x 2, top-down: still read bottom-up
  tga_header 1 3 2 0x20; palette; bytes 255 128 0 1 2 3; } >tga/mapped-top-down
{ bytes 0; le16 2; le16 1     # direct 3 x 2, bottom-up
  tga_header 2 3 2 0; bytes 0xff 0x7f 0xff 0xff 0x1f 0 0 0x7c 0xe0 0x03 0 0; } >tga/direct-bottom-up
{ bytes 0; le16 1; le16 1     # direct 2 x 2, top-down
  tga_header 2 2 2 0x20; bytes 0x00 0x80 0x21 0x04 0x42 0x08 0x63 0x0c; } >tga/direct-top-down
{ bytes 1; le16 7; le16 7     # mapped 8 x 8, the file ends inside the colour map
  tga_header 1 8 8 0; bytes 255 255 255 16 128; } >tga/short
{ bytes $((1 | 1 << 1 | 2 << 3)); le16 0; le16 0xffff  # 0 x INT32_MIN
  tga_header 1 0 0 0; } >tga/zero-by-negative
{ bytes $((3 << 1 | 3 << 3)); le16 0; le16 0xffff  # far too large to load
  tga_header 2 65535 65535 0; } >tga/huge
{ bytes $((1 | 1 << 5)); le16 5; le16 5; } >tga/missing-file
{ bytes $((1 << 6)); le16 5; le16 5; } >tga/missing-folder

# --- face maker: width and height selectors (side = selector % 1030 - 2),
# a stride byte (255 too short, else padding), an orientation, then pixels ---
mkdir -p pictures
{ le16 6; le16 4; bytes 0 6                    # 4 x 2 turned a quarter
  bytes 0 0 255 255 0 255 0 255 255 255 255 255 0 0 0 0; } >pictures/turned
{ le16 3; le16 1002; bytes 12 1; bytes 255 128 0 128; } >pictures/one-by-thousand-padded
{ le16 1002; le16 3; bytes 0 9; bytes 10 200 30 0 250 250 250 255; } >pictures/thousand-by-one
{ le16 33; le16 21; bytes 3 3; bytes 1 2 3 4 5 6 7 8 9 10 11 12 13; } >pictures/odd-sides
{ le16 2; le16 30; bytes 0 1; } >pictures/empty
{ le16 30; le16 30; bytes 255 1; bytes 1 2 3 4; } >pictures/short-stride

# --- quill.dat as it is, or cut short, or with bytes past the 48th ---
mkdir -p records
records() { local v; for v in "$@"; do bytes $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)); done; }
records 12 40 75 150 300 999 8 20 45 90 170 999 >records/saved
{ records 1 2 3 4 5 6 7; bytes 8 0; } >records/cut-at-30
{ records 0 4294967295 1 2 3 4 2147483648 2147483647 0 1 2 3; printf 'trailing'; } >records/longer
: >records/none

# --- scripts ---
mkdir -p script
printf 'wait 40\nshot title.png\n' >script/readme
printf '# a whole game\ntap 120 200\nwait 2\ndown 0 319\nmove 239 0\nup 65535 65535\nkey 13\nactivate 2\nwait 4294967295\nshot  out dir/a b.png \nquit\n' >script/every-command
printf 'tap 10 20\r\n\twait\t3\r\n  # comment\r\n\r\nquit\r\n' >script/crlf
printf 'wait 1\ntap 1\n' >script/bad-second-line
printf 'activate 3\n' >script/bad-number
printf '# tick-start 743612\n# records 999 999 999 999 999 9 999 999 999 999 999 -32768\nwait 1 35\nwait 3 31\nwait 2\ndown 120 300\nup 120 300\nquit\nwait 1\n' >script/recording
printf '# tick-start 5\n# records 1 2 3\nwait 1\n' >script/bad-header

# --- command lines: arguments separated by zero bytes ---
mkdir -p command_line
arguments() { printf '%s\0' "$@" | head -c -1; }
arguments --headless --script - --tick-start 4294967295 >command_line/headless
arguments --scale=8 --display rgb565-sideways --display=gray2 >command_line/window
arguments --version >command_line/version
arguments --scale 9 >command_line/bad-scale
arguments --record game.txt --mute --shot-scale=2 -v >command_line/record-mute
arguments --help=1 --help >command_line/help-with-value
arguments --replay=game.txt --headless >command_line/replay
