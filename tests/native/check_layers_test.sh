#!/usr/bin/env bash
# The layer check over a made-up tree: one include a row, each either let
# through (no text) or reported with the text of the rule it breaks.
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

feature="features reach the box through editbox.h and the lists through listselect.h only"
cases="
launcher/editbox/a.cpp|../explorer/explorer.h|the edit box and the lists include no feature
launcher/lists/a.cpp|../shellext/shellext.h|the edit box and the lists include no feature
launcher/editbox/editmenu.cpp|../shellext/shellext.h|
launcher/lists/b.cpp|../dragdrop/dragdrop.h|
launcher/preview/a.cpp|../lists/listwnd.h|$feature
launcher/migemo/a.h|../editbox/savedtext.h|$feature
launcher/regapps/a.cpp|../lists/listselect.h|
launcher/regapps/b.cpp|../editbox/editbox.h|
launcher/lists/c.cpp|../commands/dispatch.h|outside the commands and the shell only commands.h
launcher/explorer/a.cpp|../commands/commands.h|
launcher/shell/a.cpp|../commands/dispatch.h|
launcher/lists/d.cpp|../editbox/editbox_internal.h|an _internal.h header is included from its own folder only
launcher/shell/b.cpp|../dragdrop/dragdrop_internal.h|an _internal.h header is included from its own folder only
launcher/editbox/b.cpp|editbox_internal.h|
"

expected=()
while IFS='|' read -r file header rule; do
    [ -n "$file" ] || continue
    mkdir -p "$tree/${file%/*}"
    target="$tree/${file%/*}/$header"
    mkdir -p "${target%/*}"
    touch "$target"
    echo "#include \"$header\"" >> "$tree/$file"
    if [ -n "$rule" ]; then
        target=$(realpath -m --relative-to="$tree" "$target")
        expected+=("$file -> $target: $rule")
    fi
done <<< "$cases"

actual=$("$check" "$tree")
status=$?
want=$(printf '%s\n' "${expected[@]}" | sort)
got=$(printf '%s\n' "$actual" | sort)
if [ "$got" != "$want" ] || [ $status -ne 1 ]; then
    [ $status -eq 1 ] || echo "exit status $status, expected 1"
    diff <(echo "$want") <(echo "$got")
    exit 1
fi

# A tree that keeps every rule passes.
rm -rf "$tree/launcher"
mkdir -p "$tree/launcher/editbox"
echo '#include "editbox.h"' > "$tree/launcher/editbox/a.cpp"
touch "$tree/launcher/editbox/editbox.h"
"$check" "$tree" || exit 1
echo "layer check: ${#expected[@]} breaks reported as expected"
