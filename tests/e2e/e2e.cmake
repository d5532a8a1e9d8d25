# End-to-end tests of the real Windows program. Included at the end of cmake/WindowsBuilds.cmake, once the
# cross-builds into ${CMAKE_BINARY_DIR}/windows/<arch>/ are set up.
#   e2e_wine:             tests/e2e/run_e2e.sh drives TavixvCard.exe under Wine on a private Xvfb (skipped, code 77,
#                         only when Wine, Xvfb or the executables are missing); screenshots of each page go to
#                         ${CMAKE_BINARY_DIR}/screenshots.
#   e2e_expected_outputs: the kept expected .vcf files still follow from the inputs and the rules.
#   e2e_vobject:          every expected .vcf reads cleanly in python3-vobject (skipped when it is missing).
if(NOT TAVIX_BUILD_TESTS)
    return()
endif()

add_test(NAME e2e_wine
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_e2e.sh ${CMAKE_BINARY_DIR}/windows
            --screenshots ${CMAKE_BINARY_DIR}/screenshots)
# The run owns a display, a Wine prefix and the mouse pointer; it takes about a minute and a half here.
set_tests_properties(e2e_wine PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900 RUN_SERIAL TRUE)

# Faults: overlapping clicks, a window closed mid-run, a disk that fills (an 8 MB tmpfs, root only), huge inputs.
add_test(NAME e2e_faults COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_faults.sh ${CMAKE_BINARY_DIR}/windows)
set_tests_properties(e2e_faults PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900 RUN_SERIAL TRUE)

find_program(TAVIX_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(TAVIX_SYSTEM_PYTHON)
    add_test(NAME e2e_expected_outputs
        COMMAND ${TAVIX_SYSTEM_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/data/expected.py --check)
    add_test(NAME e2e_vobject COMMAND ${TAVIX_SYSTEM_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/check_vobject.py)
    set_tests_properties(e2e_vobject PROPERTIES SKIP_RETURN_CODE 77)
endif()
