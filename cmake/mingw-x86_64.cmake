# Cross-build for 64-bit Windows with MinGW-w64: the same program, for running the
# end-to-end tests under 64-bit Wine on machines that cannot run 32-bit code.
# The -posix compilers carry std::thread and std::mutex; the win32-thread ones do not.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAVIX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVIX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVIX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVIX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
