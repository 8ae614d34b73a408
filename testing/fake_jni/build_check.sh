#!/bin/sh
# Builds the fake JNI environment for every target it serves: the Linux host
# (where its own tests run) and both mingw-w64 compilers (compile only; the
# 32-bit one is where a wrong calling convention would show).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
jdk_include=${JDK_INCLUDE:-/usr/lib/jvm/java-17-openjdk-amd64/include}
flags="-std=c++17 -Wall -Wextra -Werror"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

echo "host: building and running fake_jni_test"
g++ $flags -I"$jdk_include" -I"$jdk_include/linux" -I"$here" \
    "$here/fake_jni.cpp" "$here/fake_jni_test.cpp" \
    -lgtest -lgtest_main -pthread -o "$out/fake_jni_test"
"$out/fake_jni_test"

for compiler in i686-w64-mingw32-g++ x86_64-w64-mingw32-g++; do
    echo "$compiler: compiling fake_jni.cpp"
    "$compiler" $flags -I"$jdk_include" -I"$repo/bridge/jni_windows" -I"$here" \
        -c "$here/fake_jni.cpp" -o "$out/fake_jni_$compiler.o"
done

echo "fake_jni: all builds passed"
