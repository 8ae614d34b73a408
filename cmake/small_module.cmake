# The release DLL's compile and link flags: the module's own code and the few
# runtime pieces it calls, importing only Windows system DLLs.
#
# Nothing in the module throws or asks for a type at run time (errors are
# values; the application object's virtual calls need no RTTI), so neither the
# exception tables nor the unwinder come along. Each function and datum in its
# own section lets the linker drop what no export reaches; link-time
# optimisation inlines across files (the application object's exit step into
# desWin). The locks are Win32 slim reader/writer locks (platform/lock.h), so
# no thread library is linked; the compiler's runtime that remains (libgcc's
# arithmetic helpers, the deleting destructor's operator delete) is linked in
# statically, so no compiler DLL is needed on the user's machine.
function(zozudu_make_small_module module objects)
  set(compile -fno-exceptions -fno-rtti -ffunction-sections -fdata-sections -flto)
  # 32-bit Windows unwinds by frame chains, so the DWARF tables would serve only
  # exceptions; 64-bit Windows needs its unwind tables to walk through our frames
  # (a debugger, a crash report, the system's own exception dispatch).
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(APPEND compile -fno-asynchronous-unwind-tables)
  endif()
  target_compile_options(${objects} PRIVATE ${compile})
  target_link_options(${module} PRIVATE ${compile}
    -Wl,--gc-sections -s -static-libgcc -static-libstdc++ -static)
endfunction()
