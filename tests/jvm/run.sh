#!/usr/bin/env bash
# run.sh BUILD_DIR static|instance|loader
# static, instance: compiles qav.Native in that form and runs the JVM tests
# against the host library on java.library.path under -Xcheck:jni; any JNI
# warning fails the run.
# loader: builds a jar as the release does, carrying the host library under
# the host's resource folder, and runs the loader tests, which start JVMs
# of their own with it.
# The JDK is $JAVA_HOME's, else the PATH's; JUnit's console launcher is
# $ZOZUDU_JUNIT, else found in /usr/share/java.
set -euo pipefail
build=$(cd "$1" && pwd)
form=$2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$root/scripts/jdk.sh"
java=$(jdk_tool java)
javac=$(jdk_tool javac)
junit=${ZOZUDU_JUNIT:-$(ls /usr/share/java/junit-platform-console-standalone*.jar 2>/dev/null | head -n1)}
[ -f "$junit" ] || { echo "run.sh: no junit-platform-console-standalone jar (apt-get install junit5)" >&2; exit 1; }
work="$build/jvm-$form"
rm -rf "$work"
mkdir -p "$work/src/qav" "$work/classes"

run_junit() {  # CLASS_PATH TEST_CLASS [JVM OPTIONS...]
  local class_path=$1 test_class=$2 log="$work/output.txt" status
  shift 2
  set +e
  "$java" -Xcheck:jni "$@" -jar "$junit" --class-path "$class_path" --select-class "$test_class" \
    --disable-banner --details=summary >"$log" 2>&1
  status=$?
  set -e
  cat "$log"
  if grep -E 'WARNING in native method|FATAL ERROR in native method' "$log" >/dev/null; then
    echo "run.sh: the JVM reported JNI misuse" >&2
    return 1
  fi
  return $status
}

if [ "$form" = loader ]; then
  case $(uname -m) in
    x86_64) arch=x86-64 ;;
    i?86) arch=x86 ;;
    *) arch=$(uname -m) ;;
  esac
  folder="linux-$arch"
  "$root/scripts/make-jar.sh" "$work/zozudu-test.jar" "$folder=$build/libzozudu.so"
  "$root/scripts/make-jar.sh" "$work/zozudu-classes.jar"
  "$javac" -d "$work/driver" -cp "$work/zozudu-test.jar" "$here/loader/qav/LoaderDriver.java"
  "$javac" -d "$work/classes" -cp "$work/zozudu-test.jar:$junit" "$here/loader/qav/NativeLoaderTest.java"
  run_junit "$work/classes:$work/zozudu-test.jar" qav.NativeLoaderTest \
    -Dzozudu.test.jar="$work/zozudu-test.jar" -Dzozudu.test.classesOnlyJar="$work/zozudu-classes.jar" \
    -Dzozudu.test.driver="$work/driver" -Dzozudu.test.library="$build/libzozudu.so" \
    -Dzozudu.test.resource="$folder/libzozudu.so"
  exit
fi

if [ "$form" = instance ]; then
  sed 's/public static native /public native /' "$root/java/qav/Native.java" > "$work/src/qav/Native.java"
  grep -q 'public native ' "$work/src/qav/Native.java"
else
  cp "$root/java/qav/Native.java" "$work/src/qav/Native.java"
fi
cp "$root/java/qav/NativeLoader.java" "$work/src/qav/"
"$javac" -Xlint:all -Werror -d "$work/classes" "$work"/src/qav/*.java
"$javac" -d "$work/classes" -cp "$work/classes:$junit" "$here/qav/NativeTest.java"
run_junit "$work/classes" qav.NativeTest \
  -Djava.library.path="$build" -Dzozudu.methods="$build/generated/methods.txt"
