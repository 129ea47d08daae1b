#!/usr/bin/env bash
# Fails unless the exe imports only DLLs that every Windows has (no MinGW runtime DLLs).
set -euo pipefail
objdump=$1 exe=$2
system_dlls='^(kernel32|user32|gdi32|shell32|advapi32|comctl32|msvcrt|ntdll|ole32|oleaut32|uxtheme|shlwapi|comdlg32|version|api-ms-win-[a-z0-9-]+)\.dll$'
dlls=$("$objdump" -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
[ -n "$dlls" ] || { echo "no imports found in $exe"; exit 1; }
bad=$(grep -Ev "$system_dlls" <<<"$dlls" || true)
echo "imports: $(tr '\n' ' ' <<<"$dlls")"
if [ -n "$bad" ]; then
  echo "not system DLLs: $bad"
  exit 1
fi
