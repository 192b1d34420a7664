# Cross-builds native x86-64 Windows programs with Debian's mingw-w64 compilers
# of the posix thread model (the win32 model has no std::mutex). The programs
# link statically, so they need no DLL beside them, and run here under wine
# through the emulator wrapper (tests, test discovery).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELOR_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELOR_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELOR_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VELOR_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELOR_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
# Every program of the build runs through wine with a private prefix in the
# build folder (made once, on first use).
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
endif()
