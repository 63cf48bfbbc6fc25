#!/bin/bash
# Reads the table of the README's "The tree" and checks each folder's
# sources against it: every header a folder includes from another folder's
# face must belong to a folder its "Calls" column names. A header belongs to
# the folder whose include/ holds it, so viewer/view/ and viewer/ are told
# apart although both faces spell "viewer/". Every top folder with sources
# has a row.
#   check_tree.sh SOURCE_DIR
set -u
cd "$1" || exit 2

declare -A calls
folders=()
# | `folder/` | what it is | calls | face |  (rows naming several folders,
# tests and benchmarks, may call anything and are passed over)
while IFS= read -r row; do
    folder=$(sed -E 's/^\| `([^`]+)\/` \|.*/\1/' <<<"$row")
    column=$(awk -F'|' '{print $4}' <<<"$row")
    folders+=("$folder")
    calls[$folder]=" $(grep -oE '`[^`]+/`' <<<"$column" | tr -d '`' | sed 's#/$##' | tr '\n' ' ')"
done < <(sed -n '/^## The tree$/,/^## /p' README.md | grep -E '^\| `[^`]+/` \|')
if ((${#folders[@]} == 0)); then
    echo 'README.md: no table under "## The tree"'
    exit 1
fi

faults=0
fault() {
    echo "$1"
    faults=$((faults + 1))
}
listed() { [[ " ${folders[*]} " == *" $1 "* ]]; }

for top in */; do
    top=${top%/}
    case $top in build | tests | bench) continue ;; esac
    if [ -n "$(find "$top" -name '*.cpp' -o -name '*.h' | head -1)" ] && ! listed "$top"; then
        fault "$top/ has sources but no row in the table"
    fi
done

# The folder whose face holds each header: the deepest of them.
declare -A owner
for f in "${folders[@]}"; do
    [ -d "$f/include" ] || continue
    while IFS= read -r header; do
        owner[${header#"$f/include/"}]=$f
    done < <(find "$f/include" -name '*.h')
done

for folder in "${folders[@]}"; do
    [ -d "$folder" ] || continue  # a row ahead of its folder
    # A folder with a row of its own inside this one is checked on its own.
    prune=()
    for other in "${folders[@]}"; do
        [[ $other == "$folder"/* ]] && prune+=(-path "$other" -prune -o)
    done
    while IFS= read -r source; do
        while IFS= read -r path; do
            from=${owner[$path]:-}
            if [ -n "$from" ] && [ "$from" != "$folder" ] && [[ ${calls[$folder]} != *" $from "* ]]; then
                fault "$source includes $path of $from/, not in $folder/'s Calls"
            fi
        done < <(sed -nE 's/^#include "([^"]+)".*/\1/p' "$source")
    done < <(find "$folder" "${prune[@]}" \( -name '*.cpp' -o -name '*.h' \) -print)
done

if ((faults > 0)); then
    echo "README.md's \"The tree\" is no longer true: $faults faults"
    exit 1
fi
echo "The tree: ${#folders[@]} folders, each calling only what its row says"
