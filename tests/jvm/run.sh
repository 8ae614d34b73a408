#!/usr/bin/env bash
# run.sh BUILD_DIR static|instance
# Compiles qav.Native in the given form and runs the JVM tests against the
# host library under -Xcheck:jni; any JNI warning fails the run.
set -euo pipefail
build=$(cd "$1" && pwd)
form=$2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
jdk=${ZOZUDU_JDK:-/usr/lib/jvm/java-17-openjdk-amd64}
junit=/usr/share/java/junit-platform-console-standalone.jar
work="$build/jvm-$form"
rm -rf "$work"
mkdir -p "$work/src/qav" "$work/classes"

if [ "$form" = instance ]; then
  sed 's/public static native /public native /' "$root/java/qav/Native.java" > "$work/src/qav/Native.java"
  grep -q 'public native ' "$work/src/qav/Native.java"
else
  cp "$root/java/qav/Native.java" "$work/src/qav/Native.java"
fi
"$jdk/bin/javac" -Xlint:all -Werror -d "$work/classes" "$work/src/qav/Native.java"
"$jdk/bin/javac" -d "$work/classes" -cp "$work/classes:$junit" "$here/qav/NativeTest.java"

log="$work/output.txt"
set +e
"$jdk/bin/java" -Xcheck:jni -Djava.library.path="$build" -Dzozudu.methods="$build/generated/methods.txt" \
  -jar "$junit" --class-path "$work/classes" --select-class qav.NativeTest \
  --disable-banner --details=summary >"$log" 2>&1
status=$?
set -e
cat "$log"
if grep -E 'WARNING in native method|FATAL ERROR in native method' "$log" >/dev/null; then
  echo "run.sh: the JVM reported JNI misuse" >&2
  exit 1
fi
exit $status
