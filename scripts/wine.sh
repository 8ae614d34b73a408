#!/bin/bash
# Run a Windows console program under Wine, 32- or 64-bit, in the build's own prefix.
#
#   wine.sh 32|64 program.exe [args...]
#
# The prefix is build/wineprefix, or $ZOZUDU_WINEPREFIX.
# The prefix is created on first use (a 64-bit prefix with syswow64, which
# serves both kinds of program). The program's stdout, stderr and exit code
# pass through unchanged; Wine's own chatter is silenced and the prefix setup
# log goes to PREFIX/.run-wine-init.log.
#
# Why the extra machinery: this kernel cannot exec i386 ELF files, so every
# 32-bit Wine process runs under qemu-i386, reached through a binfmt_misc
# entry (needs root, registered here once per boot). qemu 7.2 also ignores
# MAP_FIXED_NOREPLACE, which makes 32-bit Wine's address-space reservation
# take ~40 s per process; a tiny preloaded shim restores the kernel's answer.
#
# Needs: wine wine32:i386 wine64 qemu-user gcc (the shim is built with -m32
# but freestanding, so no 32-bit libc headers are needed).
# Env: WINE_SHIM_DIR overrides where the shim is built (default under /tmp).
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
shim_dir=${WINE_SHIM_DIR:-/tmp/wine-noreplace-shim-$(id -u)}
shim_name=wine-noreplace.so

die() { echo "wine.sh: $*" >&2; exit 125; }

# i386 ELF files run if the kernel can, or if some binfmt entry sends them to
# qemu; otherwise register one (F: qemu is opened now, so it works in any
# mount namespace later).
i386_runs() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }
ensure_i386() {
    i386_runs && return 0
    [ -x $qemu ] || { echo "wine.sh: $qemu missing (apt-get install qemu-user)" >&2; return 1; }
    local bf=/proc/sys/fs/binfmt_misc
    [ -e $bf/register ] || mount -t binfmt_misc binfmt_misc $bf 2>/dev/null
    if [ -e $bf/qemu-i386 ]; then
        echo 1 > $bf/qemu-i386 2>/dev/null
    else
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' \
            > $bf/register 2>/dev/null
    fi
    i386_runs || { echo "wine.sh: cannot run i386 binaries (binfmt_misc registration failed; root needed)" >&2; return 1; }
}

# The shim goes in $LIB-named folders so one LD_PRELOAD value suits both the
# i386 processes and the x86_64 ones (which get an empty library).
ensure_shim() {
    [ -f "$shim_dir/lib/i386-linux-gnu/$shim_name" ] && [ -f "$shim_dir/lib/x86_64-linux-gnu/$shim_name" ] && return 0
    local tmp
    tmp=$(mktemp -d "${shim_dir}.XXXXXX") || return 1
    mkdir -p "$tmp/lib/i386-linux-gnu" "$tmp/lib/x86_64-linux-gnu"
    cat > "$tmp/noreplace.c" <<'EOF'
/* qemu-user 7.2 treats MAP_FIXED_NOREPLACE as a mere hint and returns some
   other address when the wanted range is taken. 32-bit Wine then keeps or
   retries those stray mappings, costing tens of seconds per process. Give it
   the kernel's answer instead: the exact address, or EEXIST. */
typedef unsigned int size_t;
#define MAP_FIXED 0x10
#define MAP_FIXED_NOREPLACE 0x100000
#define MAP_FAILED ((void *)-1)
#define EEXIST 17
#define RTLD_NEXT ((void *)-1)

extern void *dlsym(void *handle, const char *name);
extern int munmap(void *addr, size_t len);
extern int *__errno_location(void);

typedef void *(*mmap64_fn)(void *, size_t, int, int, int, long long);

static void *real_mmap64(void *addr, size_t len, int prot, int flags, int fd, long long off)
{
    static mmap64_fn real;
    if (!real) real = (mmap64_fn)dlsym(RTLD_NEXT, "mmap64");
    return real(addr, len, prot, flags, fd, off);
}

void *mmap64(void *addr, size_t len, int prot, int flags, int fd, long long off)
{
    void *p;
    if (!(flags & MAP_FIXED_NOREPLACE) || (flags & MAP_FIXED))
        return real_mmap64(addr, len, prot, flags, fd, off);
    p = real_mmap64(addr, len, prot, flags & ~MAP_FIXED_NOREPLACE, fd, off);
    if (p == MAP_FAILED || p == addr) return p;
    munmap(p, len);
    *__errno_location() = EEXIST;
    return MAP_FAILED;
}

void *mmap(void *addr, size_t len, int prot, int flags, int fd, long off)
{
    return mmap64(addr, len, prot, flags, fd, off);
}
EOF
    : > "$tmp/empty.c"
    if gcc -m32 -O2 -ffreestanding -nostdlib -shared -fPIC -o "$tmp/lib/i386-linux-gnu/$shim_name" "$tmp/noreplace.c" \
       && gcc -O2 -nostdlib -shared -fPIC -o "$tmp/lib/x86_64-linux-gnu/$shim_name" "$tmp/empty.c"; then
        rm -rf "$shim_dir"
        mv "$tmp" "$shim_dir" 2>/dev/null || rm -rf "$tmp"   # a parallel run may have won
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
    ensure_shim || die "could not build the mmap shim (is gcc installed?)"
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
        if [ -x $wine32 ] && i386_runs && [ ! -f "$prefix/drive_c/windows/syswow64/kernel32.dll" ]; then
            die "prefix setup left syswow64 empty; see $log"
        fi
        [ -f "$prefix/drive_c/windows/system32/kernel32.dll" ] || die "prefix setup failed; see $log"
        touch "$prefix/.run-wine-ready"
    fi
    flock -u 9
    exec 9>&-
fi

if [ "$arch" = 32 ]; then exec $wine32 "$@"; else exec $wine64 "$@"; fi
