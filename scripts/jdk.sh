# Sourced by the scripts that run the JDK's tools: jdk_tool NAME prints the
# tool of $JAVA_HOME when set, else the one on the PATH.
jdk_tool() {
  if [ -n "${JAVA_HOME:-}" ]; then
    echo "$JAVA_HOME/bin/$1"
  else
    command -v "$1" || { echo "no $1: install a JDK or set JAVA_HOME" >&2; return 1; }
  fi
}
