#!/usr/bin/env bash
# Fails when a file of the pure core (or a header it includes from the tree)
# includes windows.h.
root=$1; shift
bad=0
for f in "$@"; do
  for g in "$root/$f" "$root/${f%.cpp}.h"; do
    [ -f "$g" ] || continue
    if grep -n -E '#\s*include\s*[<"](windows|winbase|winuser|windef)\.h[>"]' "$g"; then
      echo "core file includes a Windows header: $g"; bad=1
    fi
  done
done
[ $bad -eq 0 ] && echo "core is free of windows.h ($# files)"
exit $bad
