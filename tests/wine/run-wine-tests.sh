#!/usr/bin/env bash
# run-wine-tests.sh 32|64 [test host arguments...]
# Runs the Windows test host of build/win32 or build/win64 under Xvfb at a
# screen size of our choosing, with two extra drives staged through Wine's
# drive configuration: E: a floppy-type drive and F: a CD-ROM drive, both
# holding an MSDOS.SYS (so that the bootable-drive scan must pass over E:).
# The drives are staged in a prefix of the tests' own, build/wineprefix-tests
# (or $ZOZUDU_TEST_WINEPREFIX), so the probe's prefix keeps the machine's own.
set -euo pipefail
arch=$1
shift
root=$(cd "$(dirname "$0")/../.." && pwd)
wine_sh=$root/scripts/wine.sh
prefix=${ZOZUDU_TEST_WINEPREFIX:-$root/build/wineprefix-tests}
case $prefix in /*) ;; *) prefix=$PWD/$prefix ;; esac
# wine.sh runs every program below in this prefix; wineserver needs it too.
export ZOZUDU_WINEPREFIX=$prefix WINEPREFIX=$prefix
screen=1280x1024

# The prefix must exist before its drives can be changed.
"$wine_sh" 64 cmd /c exit >/dev/null 2>&1 || true

drives=$root/build/wine-drives
mkdir -p "$drives/floppy" "$drives/cdrom"
printf 'staged\r\n' >"$drives/floppy/MSDOS.SYS"
printf 'staged\r\n' >"$drives/cdrom/MSDOS.SYS"
ln -sfn "$drives/floppy" "$WINEPREFIX/dosdevices/e:"
ln -sfn "$drives/cdrom" "$WINEPREFIX/dosdevices/f:"
# The 64-bit reg.exe: a 32-bit one would write below Wow6432Node, where Wine's
# mount manager does not look.
"$wine_sh" 64 reg add 'HKLM\Software\Wine\Drives' /v e: /d floppy /f >/dev/null
"$wine_sh" 64 reg add 'HKLM\Software\Wine\Drives' /v f: /d cdrom /f >/dev/null
# Wine's mount manager reads the drive types when it starts: let this
# prefix's server end so that the test host starts a fresh one.
wineserver -w

export ZOZUDU_SCREEN=$screen
export ZOZUDU_STAGED_DRIVES="E:floppy F:cdrom"
cd "$root/build/win$arch"
exec xvfb-run -a -s "-screen 0 ${screen}x24" "$wine_sh" "$arch" ./zozudu_wine_tests.exe "$@"
