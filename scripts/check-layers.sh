#!/usr/bin/env bash
# The folder tells whether code is Win32: only files under platform/ or a win/ folder may include a
# Windows header, a platform/ header or a header of a win/ folder, or be a resource script.
set -euo pipefail
cd "$(dirname "$0")/.."

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
echo "check-layers: every Win32 include sits under platform/ or a win/ folder"
