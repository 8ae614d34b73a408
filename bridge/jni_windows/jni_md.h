/* Machine-dependent JNI types for the Windows cross builds.
 * The JDK on this build machine ships only its Linux variant; on Windows the
 * calling convention is stdcall (which decorates 32-bit names as name@bytes)
 * and the exports come from module-definition files, so JNIEXPORT adds nothing. */
#ifndef ZOZUDU_JNI_MD_H
#define ZOZUDU_JNI_MD_H

#define JNIEXPORT
#define JNIIMPORT
#define JNICALL __stdcall

typedef int jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
