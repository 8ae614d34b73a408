#!/usr/bin/env bash
# release.sh: installs what is missing, builds both DLLs and puts the release
# in dist/: the jar carrying both DLLs, its sources and Javadoc jars, the pom,
# the bare stripped DLLs, LICENSE and SHA256SUMS of every file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. "$root/scripts/jdk.sh"
"$root/scripts/install-deps.sh"
# Only the DLLs: the Windows test programs are not released.
for preset in win32 win64; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target zozudu -j2
done

version=$("$root/scripts/version.sh")
dist="$root/dist"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf "$dist"
mkdir -p "$dist/win32-x86" "$dist/win32-x86-64"

echo "== release $version"
i686-w64-mingw32-strip -o "$dist/win32-x86/zozudu.dll" build/win32/zozudu.dll
x86_64-w64-mingw32-strip -o "$dist/win32-x86-64/zozudu.dll" build/win64/zozudu.dll
cp LICENSE "$dist/LICENSE"

"$root/scripts/make-jar.sh" "$dist/zozudu-$version.jar" \
  "win32-x86=$dist/win32-x86/zozudu.dll" "win32-x86-64=$dist/win32-x86-64/zozudu.dll"

mkdir -p "$work/sources/qav" "$work/sources/META-INF"
cp java/qav/*.java "$work/sources/qav/"
cp LICENSE "$work/sources/META-INF/LICENSE"
"$(jdk_tool jar)" --create --file "$dist/zozudu-$version-sources.jar" -C "$work/sources" .

mkdir -p "$work/javadoc/META-INF"
"$(jdk_tool javadoc)" --release 8 -Xdoclint:all -Werror -quiet -notimestamp \
  -doctitle "zozudu $version" -windowtitle "zozudu $version" \
  -d "$work/javadoc" java/qav/*.java
cp LICENSE "$work/javadoc/META-INF/LICENSE"
"$(jdk_tool jar)" --create --file "$dist/zozudu-$version-javadoc.jar" -C "$work/javadoc" .

cat > "$dist/pom.xml" <<POM
<?xml version="1.0" encoding="UTF-8"?>
<project xmlns="http://maven.apache.org/POM/4.0.0"
         xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"
         xsi:schemaLocation="http://maven.apache.org/POM/4.0.0 http://maven.apache.org/xsd/maven-4.0.0.xsd">
  <modelVersion>4.0.0</modelVersion>
  <groupId>qav</groupId>
  <artifactId>zozudu</artifactId>
  <version>$version</version>
  <packaging>jar</packaging>
  <name>zozudu</name>
  <description>qav.Native: Windows services the Java platform lacks, with the 32- and 64-bit DLLs inside</description>
  <licenses>
    <license>
      <name>MIT License</name>
      <distribution>repo</distribution>
    </license>
  </licenses>
</project>
POM

(cd "$dist" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum > SHA256SUMS)
echo "release.sh: dist/ holds"
(cd "$dist" && find . -type f | sed 's|^\./|  |' | LC_ALL=C sort)
