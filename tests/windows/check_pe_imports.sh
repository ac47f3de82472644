#!/bin/sh
# Checks a Windows program as shipped: a 32-bit PE file of the given
# subsystem that imports from no DLL but those every Windows has, so that
# it runs without the compiler's runtime DLLs beside it:
#   check_pe_imports.sh OBJDUMP PROGRAM "Windows GUI"|"Windows CUI"
set -eu
objdump=$1
program=$2
subsystem=$3

[ -f "$program" ] || { echo "FAILED: $program is missing"; exit 1; }
headers=$("$objdump" -p "$program")
status=0
echo "$headers" | grep -q "file format pei-i386" ||
  { echo "FAILED: $program is not a 32-bit PE file"; status=1; }
echo "$headers" | grep -Eq "^Subsystem[[:space:]]+[0-9a-f]+[[:space:]]+\($subsystem\)" ||
  { echo "FAILED: $program's subsystem is not $subsystem"; status=1; }

dlls=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$dlls" ] || { echo "FAILED: $program imports nothing"; status=1; }
for dll in $dlls; do
  case $(echo "$dll" | tr '[:upper:]' '[:lower:]') in
    kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll | advapi32.dll | shell32.dll)
      echo "imports $dll" ;;
    *) echo "FAILED: $program imports $dll, which Windows does not ship"; status=1 ;;
  esac
done
exit $status
