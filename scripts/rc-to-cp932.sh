#!/bin/sh
# rc-to-cp932.sh <source.rc> <target.rc> - converts a UTF-8 resource script to
# code page 932 for windres. A double-byte character whose second byte is 0x5C
# (the backslash, as in 表 or ソ) would start an escape sequence in windres'
# strings, so that byte is doubled: windres reads "\\" back as the one byte.
set -e
iconv -f UTF-8 -t CP932 "$1" |
  perl -pe 's/([\x81-\x9f\xe0-\xfc])(.)/$2 eq "\\" ? "$1\\\\" : "$1$2"/gse' > "$2.tmp"
mv "$2.tmp" "$2"
