#!/usr/bin/env bash
# Checks who may include what inside launcher/ (the layer table of
# docs/architecture.md). Prints every include that breaks a rule as
#   file -> included header: rule
# and exits 1 when there is one. Usage: check-layers.sh <source root>
root=${1:-.}
cd "$root" || exit 2

features="launcher/explorer/ launcher/preview/ launcher/regapps/ launcher/shellext/ launcher/dragdrop/ launcher/migemo/"

# One rule a line: files it holds for | files left out | headers they may not
# include | headers allowed all the same ("header", or "file>header" for one
# file) | the rule's text. Paths end in "/" for a folder; "%internal" stands
# for a header ending in _internal.h outside the including file's folder.
rules="
launcher/editbox/ launcher/lists/ | | launcher/explorer/ launcher/preview/ launcher/regapps/ launcher/shellext/ | launcher/editbox/editmenu.cpp>launcher/shellext/shellext.h | the edit box and the lists include no feature
$features | | launcher/editbox/ launcher/lists/ | launcher/editbox/editbox.h launcher/lists/listselect.h | features reach the box through editbox.h and the lists through listselect.h only
launcher/ | launcher/commands/ launcher/shell/ | launcher/commands/ | launcher/commands/commands.h | outside the commands and the shell only commands.h
launcher/ | | %internal | | an _internal.h header is included from its own folder only
"

# True when path is one of the entries of list (a folder entry holds every
# path under it).
in_list() {
    local path=$1 entry
    for entry in $2; do
        case $entry in
            */) [[ $path == "$entry"* ]] && return 0 ;;
            *) [[ $path == "$entry" ]] && return 0 ;;
        esac
    done
    return 1
}

# True when the include of header by file is banned by the entries of list.
banned() {
    local file=$1 header=$2 entry
    for entry in $3; do
        if [[ $entry == %internal ]]; then
            [[ $header == *_internal.h && ${header%/*} != "${file%/*}" ]] && return 0
        elif in_list "$header" "$entry"; then
            return 0
        fi
    done
    return 1
}

allowed() {
    local file=$1 header=$2 entry
    for entry in $3; do
        [[ $entry == "$header" || $entry == "$file>$header" ]] && return 0
    done
    return 1
}

trim() { local s=$1; s=${s#"${s%%[![:space:]]*}"}; printf '%s' "${s%"${s##*[![:space:]]}"}"; }

# The path of dir/header with "." and ".." taken out, into $normal.
normalize() {
    local part out=() IFS=/
    for part in $1; do
        case $part in
            . | '') ;;
            ..) [ ${#out[@]} -gt 0 ] && unset 'out[${#out[@]}-1]' ;;
            *) out+=("$part") ;;
        esac
    done
    normal="${out[*]}"
}

# file<TAB>header for every quoted include under launcher/, the header as a
# path from the root (relative to the including file when it is there, else
# as written: from the root).
includes() {
    local file header
    while IFS= read -r file; do
        while IFS= read -r header; do
            if [ -e "${file%/*}/$header" ]; then
                normalize "${file%/*}/$header"
                header=$normal
            fi
            printf '%s\t%s\n' "$file" "$header"
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
    done < <(find launcher -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
}

# The rules, read once into parallel arrays.
who=() notwho=() ban=() allow=() text=()
while IFS='|' read -r w n b a t; do
    [ -n "${w//[[:space:]]/}" ] || continue
    who+=("$w") notwho+=("$n") ban+=("$b") allow+=("$a") text+=("$(trim "$t")")
done <<< "$rules"

bad=0
checked=0
while IFS=$'\t' read -r file header; do
    checked=$((checked + 1))
    for i in "${!who[@]}"; do
        in_list "$file" "${who[i]}" || continue
        in_list "$file" "${notwho[i]}" && continue
        banned "$file" "$header" "${ban[i]}" || continue
        allowed "$file" "$header" "${allow[i]}" && continue
        echo "$file -> $header: ${text[i]}"
        bad=1
    done
done < <(includes)

[ $bad -eq 0 ] && echo "every include keeps to the layers ($checked includes)"
exit $bad
