# Cross-builds of the Windows program from this same source tree, run from the native build.
#   i686:   TavixvCard.exe as it ships (32-bit).
#   x86_64: the same sources for 64-bit Windows, so that the end-to-end tests can run under 64-bit Wine on machines
#           whose kernel cannot execute 32-bit code.
# Each build puts its executables (TavixvCard.exe, e2e_driver.exe) into ${CMAKE_BINARY_DIR}/windows/<arch>/.

set(TAVIX_WINDOWS_ARCHES i686 x86_64)
set(TAVIX_WINDOWS_TOOLS_MISSING "")
foreach(arch IN LISTS TAVIX_WINDOWS_ARCHES)
    foreach(tool g++-posix windres objdump)
        string(MAKE_C_IDENTIFIER "TAVIX_MINGW_${arch}_${tool}" var)
        find_program(${var} ${arch}-w64-mingw32-${tool})
        if(NOT ${var})
            list(APPEND TAVIX_WINDOWS_TOOLS_MISSING ${arch}-w64-mingw32-${tool})
        endif()
    endforeach()
endforeach()

if(TAVIX_WINDOWS_TOOLS_MISSING)
    message(STATUS "Windows program: skipped, MinGW-w64 not found (missing: ${TAVIX_WINDOWS_TOOLS_MISSING}). "
                   "Install g++-mingw-w64-i686 and g++-mingw-w64-x86-64 to build TavixvCard.exe, "
                   "or configure with -DTAVIX_BUILD_WINDOWS=OFF to silence this.")
    # Still registered, so that a run on such a machine says the end-to-end tests were skipped and why.
    include(${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake OPTIONAL)
    return()
endif()

include(ExternalProject)

set(TAVIX_WINDOWS_BUILD_TYPE "${CMAKE_BUILD_TYPE}")
if(NOT TAVIX_WINDOWS_BUILD_TYPE)
    set(TAVIX_WINDOWS_BUILD_TYPE Release)
endif()

foreach(arch IN LISTS TAVIX_WINDOWS_ARCHES)
    set(TAVIX_WINDOWS_DIR_${arch} ${CMAKE_BINARY_DIR}/windows/${arch})
    ExternalProject_Add(tavix_windows_${arch}
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        BINARY_DIR ${CMAKE_BINARY_DIR}/windows-build/${arch}
        CMAKE_ARGS
            -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-${arch}.cmake
            -DCMAKE_BUILD_TYPE=${TAVIX_WINDOWS_BUILD_TYPE}
            -DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${TAVIX_WINDOWS_DIR_${arch}}
        BUILD_ALWAYS ON
        INSTALL_COMMAND ""
        BUILD_BYPRODUCTS ${TAVIX_WINDOWS_DIR_${arch}}/TavixvCard.exe
    )
endforeach()
message(STATUS "Windows program: cross-building into ${CMAKE_BINARY_DIR}/windows/{i686,x86_64}")

# The directories the end-to-end tests take their executables from.
set(TAVIX_WINDOWS_I686_DIR ${TAVIX_WINDOWS_DIR_i686})
set(TAVIX_WINDOWS_X86_64_DIR ${TAVIX_WINDOWS_DIR_x86_64})

if(TAVIX_BUILD_TESTS)
    # The shipped program must carry DEP and ASLR, be large-address aware, and need no DLL outside the system's.
    add_test(NAME pe_hardening
        COMMAND sh ${CMAKE_SOURCE_DIR}/tests/pe/check_pe.sh
                ${TAVIX_MINGW_i686_objdump} ${TAVIX_WINDOWS_I686_DIR}/TavixvCard.exe
                ${TAVIX_MINGW_x86_64_objdump} ${TAVIX_WINDOWS_X86_64_DIR}/TavixvCard.exe)
endif()

include(${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake OPTIONAL)
