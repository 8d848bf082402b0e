#!/usr/bin/env bash
# Checks the shipped i686 Tarvel.exe: PE32 for i386, GUI subsystem, subsystem and OS versions
# no higher than 5.1 (Windows XP), imports only from DLLs that Windows XP has and none of the
# Vista-only functions a toolchain tends to pull in, the administrator manifest, and the
# resources by id.
# Usage: check-shipped-exe.sh EXE OBJDUMP WINDRES
set -uo pipefail
exe=$1 objdump=$2 windres=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

headers=$("$objdump" -p "$exe") || { echo "FAIL: objdump cannot read $exe"; exit 1; }
field() { awk -v k="$1" '$1 == k { print $2; exit }' <<<"$headers"; }

check "PE32 for i386" grep -q 'file format pei-i386' <<<"$headers"
check "GUI subsystem" grep -qE '^Subsystem[[:space:]]+00000002' <<<"$headers"
version_at_most_xp() { local major=$1 minor=$2; [ "$major" -lt 5 ] || { [ "$major" -eq 5 ] && [ "$minor" -le 1 ]; }; }
check "OS version $(field MajorOSystemVersion).$(field MinorOSystemVersion) <= 5.1" \
  version_at_most_xp "$(field MajorOSystemVersion)" "$(field MinorOSystemVersion)"
check "subsystem version $(field MajorSubsystemVersion).$(field MinorSubsystemVersion) <= 5.1" \
  version_at_most_xp "$(field MajorSubsystemVersion)" "$(field MinorSubsystemVersion)"

xp_dlls="kernel32.dll user32.dll gdi32.dll comctl32.dll shell32.dll advapi32.dll setupapi.dll ole32.dll oleaut32.dll msvcrt.dll"
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || fail "no import table found"
for dll in $dlls; do
  case " $xp_dlls " in
    *" $dll "*) pass "imports $dll" ;;
    *) fail "imports $dll, which is not a Windows XP system DLL" ;;
  esac
done

# Functions that Windows XP lacks and that runtimes import when they target Vista.
vista_only="GetTickCount64 InitializeCriticalSectionEx InitializeConditionVariable SleepConditionVariableCS
  SleepConditionVariableSRW WakeConditionVariable WakeAllConditionVariable InitializeSRWLock
  AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive ReleaseSRWLockShared
  InitOnceExecuteOnce InitOnceBeginInitialize FlsAlloc FlsFree FlsGetValue FlsSetValue CompareStringEx
  LCMapStringEx GetLocaleInfoEx LocaleNameToLCID CreateEventExA CreateEventExW CreateMutexExA CreateMutexExW
  CreateSemaphoreExW GetFileInformationByHandleEx SetFileInformationByHandle CancelIoEx
  QueryFullProcessImageNameA QueryFullProcessImageNameW GetFinalPathNameByHandleA GetFinalPathNameByHandleW
  CreateSymbolicLinkA CreateSymbolicLinkW GetSystemTimePreciseAsFileTime GetCurrentProcessorNumber
  GetErrorMode RegGetValueA RegGetValueW TaskDialog TaskDialogIndirect SHGetKnownFolderPath
  Wow64DisableWow64FsRedirection Wow64RevertWow64FsRedirection"
imports=$(awk '/DLL Name:/ { inblock = 1; next } inblock && NF >= 3 && $1 ~ /^[0-9a-f]+$/ { print $3 }' <<<"$headers")
bad=""
for fn in $vista_only; do grep -qx "$fn" <<<"$imports" && bad="$bad $fn"; done
if [ -z "$bad" ]; then pass "no Vista-only function imported ($(wc -l <<<"$imports") imports)"; else fail "imports Vista-only functions:$bad"; fi

check "manifest requests requireAdministrator" grep -qa 'level="requireAdministrator" uiAccess="false"' "$exe"
check "manifest asks for common controls 6" grep -qa 'Microsoft.Windows.Common-Controls' "$exe"

rc=$("$windres" -J coff -O rc -i "$exe" 2>/dev/null | grep -v '^  0x')
check "dialog 100 (About)" grep -q '^100 DIALOGEX 0, 0, 211, 178' <<<"$rc"
check "dialog 102 (main window)" grep -q '^102 DIALOGEX 0, 0, 231, 103' <<<"$rc"
check "dialog 107 (format page)" grep -q '^107 DIALOGEX 0, 0, 218, 119' <<<"$rc"
check "main window caption" grep -qx 'CAPTION "Brask Quelo Audio Control Panel"' <<<"$rc"
check "string 101" grep -q '101, "&About Audio Control Panel..."' <<<"$rc"
check "icon 128 with three images" grep -q '^128 14 ' <<<"$rc"
check "icon 128 holds 48, 32 and 16 pixel images" bash -c 'grep -A6 "^128 14 " | tr -d "\n" | grep -q "060\\\\060.*040\\\\040.*020\\\\020"' <<<"$rc"
check "bitmap 129" grep -q '^129 2 ' <<<"$rc"
bitmap_header=$("$windres" -J coff -O rc -i "$exe" 2>/dev/null | grep -A2 '^129 2 ' | sed -n 3p)
check "bitmap 129 is 369 x 304, 24 bits per pixel" grep -q '0x28L *, 0x171L *, 0x130L *, 0x180001L' <<<"$bitmap_header"
check "version 0.6.1.2" grep -q 'FILEVERSION 0, 6, 1, 2' <<<"$rc"
for value in 'CompanyName", "Brask"' 'FileDescription", "Quelo Audio Control Panel"' \
             'ProductName", "Quelo Audio Control Panel"' 'OriginalFilename", "Tarvel.exe"' 'InternalName", "Tarvel.exe"'; do
  check "version value $value" grep -qF "$value" <<<"$rc"
done

echo "size of $(basename "$exe"): $(stat -c %s "$exe") bytes"
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
