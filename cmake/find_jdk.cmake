# The JDK whose jni.h every build uses and whose tools the JVM tests run:
# JAVA_HOME (the CMake variable or the environment's) when given, otherwise
# the JDK of the javac found on the PATH, whichever version it is.
find_package(Java 9 REQUIRED COMPONENTS Runtime Development)  # 9: javac --release 8
if(NOT JAVA_HOME)
  if(DEFINED ENV{JAVA_HOME} AND EXISTS "$ENV{JAVA_HOME}/include/jni.h")
    set(JAVA_HOME "$ENV{JAVA_HOME}")
  else()
    get_filename_component(_zozudu_javac "${Java_JAVAC_EXECUTABLE}" REALPATH)
    get_filename_component(_zozudu_jdk_bin "${_zozudu_javac}" DIRECTORY)
    get_filename_component(JAVA_HOME "${_zozudu_jdk_bin}" DIRECTORY)
  endif()
endif()

# The Windows builds take jni.h from the host JDK too (and our own jni_md.h),
# so the headers are looked for outside the cross toolchain's root.
set(_zozudu_include_mode "${CMAKE_FIND_ROOT_PATH_MODE_INCLUDE}")
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE NEVER)
find_package(JNI QUIET)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE "${_zozudu_include_mode}")
if(NOT JAVA_INCLUDE_PATH OR NOT EXISTS "${JAVA_INCLUDE_PATH}/jni.h")
  message(FATAL_ERROR "No jni.h under JAVA_HOME=${JAVA_HOME}; set JAVA_HOME to a JDK")
endif()
if(NOT WIN32 AND NOT EXISTS "${JAVA_INCLUDE_PATH2}/jni_md.h")
  message(FATAL_ERROR "No jni_md.h for this host under JAVA_HOME=${JAVA_HOME}")
endif()
message(STATUS "JDK: ${JAVA_HOME} (jni.h in ${JAVA_INCLUDE_PATH})")
