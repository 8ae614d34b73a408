// desWin.
#include "app/native_app.h"
#include "method_table.h"

// The application object's exit code, always 0; runs the exit step of
// CWinApp itself (not an override) and changes nothing.
jint JNICALL Java_qav_Native_desWin(JNIEnv*, jobject) { return theApp.CWinApp::ExitInstance(); }
