#!/usr/bin/env bash
# The folder tells whether code is Win32: only files under platform/ or a win/ folder may include a
# Windows header, a platform/ header or a header of a win/ folder, or be a resource script.
# And the folders stand on floors: a file includes only from its own room or from a lower floor.
set -euo pipefail
cd "$(dirname "$0")/.."

# Lowest floor first. A room is a folder with everything below it (its win/ part too) that no
# longer-named room claims; rooms on one floor do not include each other.
floors=(
    "base"
    "texts platform toolkit/skin toolkit/draw toolkit/jpeg art"
    "driver toolkit/skinning"
    "sim toolkit/win"
    "dialogs"
    "app"
    "app/ctl tools"
)

windows_headers='windows|windowsx|winuser|wingdi|winbase|winnt|winreg|winerror|commctrl|commdlg|shellapi|shlobj|shlwapi|shobjidl|uxtheme|vssym32|ole2|oleacc|oleauto|objbase|objidl|unknwn|tlhelp32|sddl|aclapi|psapi|dwmapi|mmsystem|richedit|winver|tchar|wtsapi32|lmcons|userenv|knownfolders'
pattern="^[[:space:]]*#[[:space:]]*include[[:space:]]*(<(${windows_headers})\.h>|\"platform/|\"([^\"]*/)?win/)"

status=0
while IFS= read -r file; do
    case "/$file" in
        */win/* | /platform/* | /third_party/*) continue ;;
    esac
    case "$file" in
        *.rc)
            echo "check-layers: $file: a resource script outside a win/ folder"
            status=1
            continue
            ;;
    esac
    if hits=$(grep -nE "$pattern" "$file"); then
        while IFS= read -r hit; do
            echo "check-layers: $file:$hit"
        done <<<"$hits"
        status=1
    fi
done < <(git ls-files -- '*.h' '*.hpp' '*.c' '*.cc' '*.cpp' '*.rc')

if [ "$status" -ne 0 ]; then
    echo "check-layers: Win32 code belongs under platform/ or a win/ folder" >&2
    exit 1
fi

declare -A floor_of
for i in "${!floors[@]}"; do
    for room in ${floors[$i]}; do
        floor_of[$room]=$i
    done
done

# Sets `room` to the longest room name that is a folder above $1, or to nothing.
room_of() {
    local dir=$1
    room=
    while [[ $dir == */* ]]; do
        dir=${dir%/*}
        if [[ -n ${floor_of[$dir]+set} ]]; then
            room=$dir
            return
        fi
    done
}

while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    target=${rest#*:}
    target=${target#*\"}
    target=${target%%\"*}
    room_of "$file"
    from=$room
    if [ -z "$from" ]; then
        echo "check-layers: $file: its folder stands on no floor"
        status=1
        continue
    fi
    room_of "$target"
    [ -n "$room" ] && [ "$room" != "$from" ] || continue # an include path's own name, or the same room
    if [ "${floor_of[$room]}" -ge "${floor_of[$from]}" ]; then
        echo "check-layers: $file:$line: $from includes $target from $room, on the same floor or above"
        status=1
    fi
done < <(git grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/' -- '*.h' '*.hpp' '*.c' '*.cc' '*.cpp' \
    ':!tests/' ':!third_party/')

if [ "$status" -ne 0 ]; then
    echo "check-layers: an include runs up the floors or across one" >&2
    exit 1
fi
echo "check-layers: every Win32 include sits under platform/ or a win/ folder; no include runs up the floors"
