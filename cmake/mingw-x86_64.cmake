# Cross-build for 64-bit Windows with MinGW-w64: the same program, for running the end-to-end tests under 64-bit
# Wine on machines that cannot run 32-bit code.
set(TAVIX_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
