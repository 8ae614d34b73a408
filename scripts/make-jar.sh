#!/usr/bin/env bash
# make-jar.sh OUT.jar [FOLDER=LIBRARY...]: the class jar, as released.
# qav.Native built for Java 8, the manifest, META-INF/LICENSE, and each
# native library as the resource FOLDER/<its file name>. The release gives it
# the two DLLs; the JVM tests give it the host library.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/jdk.sh"
out=$1
shift
version=$("$root/scripts/version.sh")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/classes/META-INF"

# -Xlint:-options: building for 8 on a newer JDK warns that 8 is old.
"$(jdk_tool javac)" --release 8 -Xlint:all -Xlint:-options -Werror -d "$work/classes" "$root"/java/qav/*.java
cp "$root/LICENSE" "$work/classes/META-INF/LICENSE"
for resource in "$@"; do
  folder=${resource%%=*}
  library=${resource#*=}
  mkdir -p "$work/classes/$folder"
  cp "$library" "$work/classes/$folder/"
done
cat > "$work/manifest.txt" <<MANIFEST
Implementation-Title: zozudu
Implementation-Version: $version
Automatic-Module-Name: qav
MANIFEST
rm -f "$out"
"$(jdk_tool jar)" --create --file "$out" --manifest "$work/manifest.txt" -C "$work/classes" .
