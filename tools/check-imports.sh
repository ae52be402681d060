#!/usr/bin/env bash
# Fails when a built program imports a DLL that is not part of Windows.
set -u
objdump=$1 dir=$2
allowed='^(kernel32|user32|gdi32|comctl32|advapi32|shell32|shlwapi|ole32|oleaut32|winmm|imm32|msvcrt|ddraw|comdlg32|version|ntdll|ws2_32|bcrypt|api-ms-win-.*)\.dll$'
# The shipped programs start from a folder anyone may write to: they import
# only DLLs that Windows always takes from its own folder (comctl32 comes
# through the manifest's side-by-side assembly).
shipped='^(setup|installer)\.exe$'
shipped_allowed='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|msvcrt|comctl32)\.dll$'
status=0 count=0
for exe in "$dir"/*.exe; do
  [ -e "$exe" ] || continue
  count=$((count + 1))
  rule=$allowed
  if basename "$exe" | tr 'A-Z' 'a-z' | grep -Eq "$shipped"; then
    rule=$shipped_allowed
    echo "$(basename "$exe"):" $("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z\n' 'a-z ')
  fi
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$rule"; then
      echo "$(basename "$exe") imports $dll"
      status=1
    fi
  done < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done
[ $count -gt 0 ] || { echo "no programs in $dir"; exit 1; }
echo "$count programs checked"
exit $status
