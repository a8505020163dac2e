# Cross-build for 64-bit Windows with mingw-w64 on Linux; the tests run under
# Wine through tools/wine-run.sh (inside tools/wine-session.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_tabrix_triple x86_64-w64-mingw32)

# The -posix flavour: the default win32 thread model has no std::mutex, which
# GoogleTest needs.
set(CMAKE_C_COMPILER ${_tabrix_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_tabrix_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_tabrix_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_tabrix_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: the executables import only system DLLs (KERNEL32, USER32,
# msvcrt, ...), never libstdc++/libgcc/winpthread DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
