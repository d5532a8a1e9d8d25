#!/bin/sh
# Checks the hardening of the Windows executables from their PE headers.
#   usage: check_pe.sh OBJDUMP EXE [OBJDUMP EXE ...]
# Each EXE must have DEP (NX_COMPAT) and ASLR (DYNAMIC_BASE); a 32-bit one must be large-address aware, a 64-bit
# one must allow high-entropy ASLR; and every DLL it imports must be one that ships with Windows, so a DLL planted
# beside the program (or a MinGW runtime DLL left out of the download) can never be needed.

# Compared in upper case: the DLLs the program needs, all part of every Windows since 7. msvcrt.dll is the system's
# own C runtime, which MinGW builds on; libstdc++, libgcc and libwinpthread are linked in statically.
SYSTEM_DLLS="KERNEL32.DLL USER32.DLL GDI32.DLL COMCTL32.DLL COMDLG32.DLL SHELL32.DLL OLE32.DLL ADVAPI32.DLL MSVCRT.DLL"

if [ $# -eq 0 ] || [ $(($# % 2)) -ne 0 ]; then
    echo "usage: $0 OBJDUMP EXE [OBJDUMP EXE ...]" >&2
    exit 2
fi

failures=0
fail() {
    echo "FAIL $exe: $*"
    failures=$((failures + 1))
}

while [ $# -gt 0 ]; do
    objdump=$1
    exe=$2
    shift 2
    if [ ! -f "$exe" ]; then
        fail "missing (build the Windows program first)"
        continue
    fi
    if ! headers=$("$objdump" -p "$exe" 2>&1); then
        fail "$objdump cannot read it: $headers"
        continue
    fi

    echo "$headers" | grep -q '^[[:space:]]*DYNAMIC_BASE$' || fail "no DYNAMIC_BASE (ASLR)"
    echo "$headers" | grep -q '^[[:space:]]*NX_COMPAT$' || fail "no NX_COMPAT (DEP)"
    case $(echo "$headers" | sed -n 's/.*file format //p' | head -n 1) in
        pei-i386)
            echo "$headers" | grep -q '^[[:space:]]*large address aware$' || fail "not large-address aware"
            ;;
        pei-x86-64)
            echo "$headers" | grep -q '^[[:space:]]*HIGH_ENTROPY_VA$' || fail "no HIGH_ENTROPY_VA"
            ;;
        *)
            fail "not a Windows executable"
            ;;
    esac

    imports=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:lower:]' '[:upper:]')
    [ -n "$imports" ] || fail "imports no DLL at all (objdump output not understood)"
    for dll in $imports; do
        case " $(echo $SYSTEM_DLLS) " in
            *" $dll "*) ;;
            *) fail "imports $dll, which is not a system DLL" ;;
        esac
    done
    echo "checked $exe: imports $(echo $imports)"
done

if [ $failures -ne 0 ]; then
    echo "$failures hardening check(s) failed"
    exit 1
fi
echo "all hardening checks passed"
