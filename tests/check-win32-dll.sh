#!/bin/sh
# Static checks of the 32-bit Windows DLL, which cannot run on these machines:
# an i386 image that exports VSTPluginMain as ordinal 1 and main as ordinal 2
# and nothing else, and imports only Windows system DLLs.
set -u
dll=$1
dump=$(i686-w64-mingw32-objdump -p "$dll") || { echo "cannot read $dll"; exit 1; }
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; else echo "ok: $1"; fi; }

check "machine is i386" 'i686-w64-mingw32-objdump -f "$dll" | grep -q "file format pei-i386"'

exports=$(printf '%s\n' "$dump" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^[[:space:]]+\[' |
  sed -E 's/^[[:space:]]*\[[[:space:]]*([0-9]+)\][[:space:]]+(.*)$/\1 \2/')
check "exactly two exports" '[ "$(printf "%s\n" "$exports" | grep -c .)" -eq 2 ]'
# The table lists the name with its index into the address table; ordinal = index + base (1).
check "VSTPluginMain is ordinal 1" 'printf "%s\n" "$exports" | grep -qx "0 VSTPluginMain"'
check "main is ordinal 2" 'printf "%s\n" "$exports" | grep -qx "1 main"'

imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "imports: $(echo $imports)"
system="kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll shell32.dll ole32.dll comdlg32.dll gdiplus.dll"
for d in $imports; do
  case " $system " in *" $d "*) ;; *) echo "FAIL: imports non-system DLL $d"; fail=1 ;; esac
done
exit $fail
