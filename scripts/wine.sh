#!/bin/bash
# Run a Windows console program under Wine, 32- or 64-bit.
#
#   wine.sh 32|64 program.exe [args...]
#
# The prefix is build/wineprefix, or $ZOZUDU_WINEPREFIX.
#
# The prefix is created on first use (a 64-bit prefix with syswow64, which
# serves both kinds of program). The program's stdout, stderr and exit code
# pass through unchanged; Wine's own chatter is silenced and the prefix setup
# log goes to PREFIX/.run-wine-init.log.
#
# Why the extra machinery: this kernel cannot exec i386 ELF files, so every
# 32-bit Wine process runs under qemu-i386, reached through a binfmt_misc
# entry (needs root; registered here when missing, and a failed registration
# ends a 32-bit run with its reason). qemu 7.2 also gets three things wrong
# for 32-bit Wine, which a small preloaded library, scripts/qemu-wine-fixes.c,
# puts right: MAP_FIXED_NOREPLACE (else ~40 s per process), the trap number of
# faults (else access violations arrive as illegal instructions) and
# per-thread TLS segments (else any second thread corrupts the process). With
# another qemu version a line on stderr says so; the run goes on.
#
# Needs: wine wine32:i386 wine64 qemu-user gcc (the library is built with -m32
# but freestanding, so no 32-bit libc headers are needed).
# Env: RUN_WINE_SHIM_DIR overrides where that library is built (default /tmp).
set -u

usage() { echo "usage: $0 32|64 program.exe [args...]" >&2; exit 2; }
[ $# -ge 2 ] || usage
root=$(cd "$(dirname "$0")/.." && pwd)
arch=$1 prefix=${ZOZUDU_WINEPREFIX:-$root/build/wineprefix}; shift 1
case $arch in 32|64) ;; *) usage ;; esac
case $prefix in /*) ;; *) prefix=$PWD/$prefix ;; esac

wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
qemu=/usr/bin/qemu-i386
shim_name=run-wine-qemu-fixes.so
shim_source=$root/scripts/qemu-wine-fixes.c
# The qemu-user release the fixes library was written for and tried with.
qemu_known=7.2

die() { echo "wine.sh: $*" >&2; exit 125; }

# i386 ELF files run if the kernel can, or if some binfmt entry sends them to
# qemu; otherwise register one (F: qemu is opened now, so the entry works in
# any mount namespace later). Registering needs root; each step that fails
# says why, since without it no 32-bit program can start.
i386_runs() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }
ensure_i386() {
    i386_runs && return 0
    [ -x $qemu ] || { echo "wine.sh: this kernel cannot run i386 programs and $qemu is missing (apt-get install qemu-user)" >&2; return 1; }
    local bf=/proc/sys/fs/binfmt_misc err
    if [ ! -e $bf/register ]; then
        # A parallel run may have mounted it meanwhile.
        err=$(mount -t binfmt_misc binfmt_misc $bf 2>&1) || [ -e $bf/register ] ||
            { echo "wine.sh: cannot mount binfmt_misc on $bf (root needed): ${err%%$'\n'*}" >&2; return 1; }
    fi
    if [ -e $bf/qemu-i386 ]; then
        err=$( { echo 1 > $bf/qemu-i386; } 2>&1) ||
            { echo "wine.sh: cannot enable the binfmt_misc entry $bf/qemu-i386 (root needed): $err" >&2; return 1; }
    else
        # A parallel run that registered first makes this write fail with EEXIST.
        err=$( { printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' \
            > $bf/register; } 2>&1) || [ -e $bf/qemu-i386 ] ||
            { echo "wine.sh: binfmt_misc registration of $qemu for i386 programs failed (root needed): $err" >&2; return 1; }
    fi
    i386_runs || { echo "wine.sh: i386 programs still cannot run with $qemu registered in binfmt_misc" >&2; return 1; }
}

# The fixes library mends qemu $qemu_known; one line when another qemu runs
# the i386 programs, since a fix may then be needless or wrong.
check_qemu_version() {
    local entry=/proc/sys/fs/binfmt_misc/qemu-i386 interpreter version
    [ -r $entry ] && grep -qx enabled $entry || return 0   # not run by qemu
    interpreter=$(sed -n 's/^interpreter //p' $entry)
    interpreter=${interpreter:-$qemu}
    version=$("$interpreter" --version 2>/dev/null | sed -n '1s/.* version \([0-9]*\.[0-9]*\).*/\1/p')
    [ "$version" = "$qemu_known" ] ||
        echo "wine.sh: $interpreter is qemu ${version:-of unknown version}; $shim_source was written for qemu-user $qemu_known" >&2
}

# The library goes in $LIB-named folders so one LD_PRELOAD value suits both
# the i386 processes and the x86_64 ones (which get an empty library). The
# folder is named after the source's hash, so an edited source is rebuilt.
ensure_shim() {
    local hash tmp
    [ -f "$shim_source" ] || { echo "wine.sh: $shim_source missing" >&2; return 1; }
    hash=$(sha256sum <"$shim_source" | cut -c1-16)
    shim_dir=${RUN_WINE_SHIM_DIR:-/tmp/run-wine-shim-$(id -u)}/$hash
    [ -f "$shim_dir/lib/i386-linux-gnu/$shim_name" ] && [ -f "$shim_dir/lib/x86_64-linux-gnu/$shim_name" ] && return 0
    mkdir -p "${shim_dir%/*}" || return 1
    tmp=$(mktemp -d "$shim_dir.XXXXXX") || return 1
    mkdir -p "$tmp/lib/i386-linux-gnu" "$tmp/lib/x86_64-linux-gnu"
    : > "$tmp/empty.c"
    if gcc -m32 -O2 -ffreestanding -fno-stack-protector -nostdlib -shared -fPIC \
           -o "$tmp/lib/i386-linux-gnu/$shim_name" "$shim_source" \
       && gcc -O2 -nostdlib -shared -fPIC -o "$tmp/lib/x86_64-linux-gnu/$shim_name" "$tmp/empty.c"; then
        mv -T "$tmp" "$shim_dir" 2>/dev/null || rm -rf "$tmp"   # a parallel run may have won
        return 0
    fi
    rm -rf "$tmp"
    return 1
}

[ -x $wine64 ] || die "$wine64 missing (apt-get install wine64)"
if ! ensure_i386; then
    [ "$arch" = 32 ] && die "32-bit programs cannot run here"
    echo "wine.sh: continuing without 32-bit support" >&2
else
    [ -x $wine32 ] || { [ "$arch" = 32 ] && die "$wine32 missing (apt-get install wine32:i386)"; }
    check_qemu_version
    ensure_shim || die "could not build the qemu fixes library (is gcc installed?)"
    export LD_PRELOAD="$shim_dir/\$LIB/$shim_name${LD_PRELOAD:+ $LD_PRELOAD}"
fi

export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko download prompts, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
# Wine takes its Unix file-name charset from the locale (it must exist: C.UTF-8
# always does) and, for it, the ANSI code page 1252 that the tests rely on.
export LANG=C.UTF-8
unset LC_ALL LC_CTYPE

# First use: build the prefix under a lock so parallel runs don't race.
if [ ! -f "$prefix/.run-wine-ready" ]; then
    mkdir -p "$prefix" || die "cannot create $prefix"
    exec 9>"$prefix.lock" || die "cannot lock $prefix"
    flock 9
    if [ ! -f "$prefix/.run-wine-ready" ]; then
        log=$prefix/.run-wine-init.log
        $wine64 wineboot --init >"$log" 2>&1 </dev/null
        $wineserver -w
        [ -f "$prefix/drive_c/windows/system32/kernel32.dll" ] || die "prefix setup failed; see $log"
        if i386_runs && [ -x $wine32 ]; then
            [ -f "$prefix/drive_c/windows/syswow64/kernel32.dll" ] || die "prefix setup left syswow64 empty; see $log"
            touch "$prefix/.run-wine-ready"   # only a prefix fit for both kinds counts as done
        fi
    fi
    flock -u 9
    exec 9>&-
fi

if [ "$arch" = 32 ]; then exec $wine32 "$@"; else exec $wine64 "$@"; fi
