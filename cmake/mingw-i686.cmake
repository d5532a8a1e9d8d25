# Cross-build for 32-bit Windows with MinGW-w64: the program as it ships.
set(TAVIX_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
