# add_qtest(NAME <name> SOURCES <files...> LIBS <targets...>)
# A QtTest executable run by ctest on the offscreen platform.
function(add_qtest)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test Qt6::Widgets ${T_LIBS})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false"
        LABELS "unit"
        TIMEOUT 120)
endfunction()

# add_e2e_test(NAME <name> SCRIPT <file.py>)
# A script that drives the real programs on a private X server.
find_program(DEBIAN_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
function(add_e2e_test)
    cmake_parse_arguments(T "" "NAME;SCRIPT" "" ${ARGN})
    add_test(NAME ${T_NAME}
             COMMAND ${DEBIAN_PYTHON} ${T_SCRIPT} --bin ${PROGRAM_OUTPUT_DIR})
    set_tests_properties(${T_NAME} PROPERTIES
        LABELS "e2e" TIMEOUT 300
        ENVIRONMENT "PYTHONDONTWRITEBYTECODE=1")
endfunction()
