# In a sanitized build every test runs under tests/sanitize/checked.py,
# which fails it on a sanitizer report from any process it started.
find_program(DEBIAN_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
set(SANITIZE_DIR ${CMAKE_SOURCE_DIR}/tests/sanitize)

# A cross-built Windows test program runs under Wine, through a script that
# gives it the build's own Wine prefix and finds the DLLs.
if(WIN32 AND CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    get_filename_component(qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                    OUTPUT_VARIABLE runtime_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
                    OUTPUT_VARIABLE pthread_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(runtime_dir "${runtime_dll}" DIRECTORY)
    get_filename_component(pthread_dir "${pthread_dll}" REALPATH)
    get_filename_component(pthread_dir "${pthread_dir}" DIRECTORY)
    # Wine's drive Z: is the root of the file system.
    set(WINE_DLL_PATH "Z:${qt_prefix}/bin;Z:${runtime_dir};Z:${pthread_dir}")
    set(WINE_QT_PLUGIN_PATH "Z:${qt_prefix}/plugins")
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE @ONLY)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh --qtest)
endif()

# checked_command(<out-var> <test-name> <command...>)
function(checked_command out name)
    if(CMAKE_CROSSCOMPILING_EMULATOR)
        set(${out} ${CMAKE_CROSSCOMPILING_EMULATOR} ${ARGN} PARENT_SCOPE)
    elseif(ZUZ_ZONARA_SANITIZE)
        set(${out} ${DEBIAN_PYTHON} ${SANITIZE_DIR}/checked.py
            --suppressions ${SANITIZE_DIR}/lsan.supp
            --keep ${CMAKE_BINARY_DIR}/sanitizer-reports/${name} -- ${ARGN} PARENT_SCOPE)
    else()
        set(${out} ${ARGN} PARENT_SCOPE)
    endif()
endfunction()

# What every QtTest runs with: the offscreen platform, without its
# messages about what offscreen cannot do.
set(OFFSCREEN_ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false")

# add_qtest(NAME <name> SOURCES <files...> LIBS <targets...> [WIDGET]
#           [ENVIRONMENT <VAR=value...>])
# A QtTest executable run by ctest on the offscreen platform, labelled
# unit, or widget where it builds the programs' forms and widgets.
function(add_qtest)
    cmake_parse_arguments(T "WIDGET" "NAME" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test Qt6::Widgets ${T_LIBS})
    if(T_WIDGET)
        set(widget WIDGET)
    endif()
    add_qtest_run(NAME ${T_NAME} TARGET ${T_NAME} ${widget} ENVIRONMENT ${T_ENVIRONMENT})
endfunction()

# add_qtest_run(NAME <test> TARGET <QtTest target> [WIDGET] [ARGS <arguments...>]
#               [ENVIRONMENT <VAR=value...>])
# A run of a QtTest executable, as add_qtest registers it; once more with
# other arguments or settings (a scale factor) under another name.
function(add_qtest_run)
    cmake_parse_arguments(T "WIDGET" "NAME;TARGET" "ARGS;ENVIRONMENT" ${ARGN})
    checked_command(command ${T_NAME} $<TARGET_FILE:${T_TARGET}> ${T_ARGS})
    add_test(NAME ${T_NAME} COMMAND ${command})
    if(T_WIDGET)
        set(labels widget)
    else()
        set(labels unit)
    endif()
    if(WIN32)
        list(APPEND labels windows)
    endif()
    # The texts are Chinese unless the test's own settings say otherwise.
    set(environment ${OFFSCREEN_ENVIRONMENT} ${T_ENVIRONMENT})
    if(NOT T_ENVIRONMENT MATCHES "LANGUAGE=")
        list(APPEND environment LANGUAGE=zh_CN)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "${environment}" LABELS "${labels}" TIMEOUT 120)
endfunction()

# add_pytest_cases(<group> <file.py> [LABELS <labels...>] [ARGS <options...>]
#                  [ENVIRONMENT <VAR=value...>])
# One ctest entry per case of a pytest file, named
# <group>_<file name without test_ and .py>.<case without test_>:
# tests/e2e/test_view.py::test_startup_shows_the_middle_twice is
# e2e_view.startup_shows_the_middle_twice. The cases are the file's
# top-level "def test_...(" lines, read here, so that configuring needs no
# pytest. Each runs as `python3 -m pytest <file>::<case> --bin <programs>`
# with ARGS; a case that skips makes its entry "Skipped" (tests/conftest.py
# ends such a run with 77). Labels: e2e and LABELS; a time-out of 60 s
# (120 s in the sanitized build) unless set_case_times says otherwise.
function(add_pytest_cases group file)
    cmake_parse_arguments(T "" "" "LABELS;ARGS;ENVIRONMENT" ${ARGN})
    get_filename_component(path ${file} ABSOLUTE)
    get_filename_component(stem ${file} NAME_WE)
    string(REGEX REPLACE "^test_" "" short ${stem})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
    file(STRINGS ${path} defs REGEX "^def test_[A-Za-z0-9_]+\\(")
    if(NOT defs)
        message(FATAL_ERROR "${path} has no test cases")
    endif()
    set(environment PYTHONDONTWRITEBYTECODE=1 ${T_ENVIRONMENT})
    # Most cases take 2 to 17 s; a hang is what the time-out is for, on a
    # machine that may be busier than the one they were timed on.
    set(timeout 90)
    if(ZUZ_ZONARA_SANITIZE)
        set(timeout 180)
    endif()
    foreach(def ${defs})
        string(REGEX REPLACE "^def (test_[A-Za-z0-9_]+)\\(.*" "\\1" case "${def}")
        string(REGEX REPLACE "^test_" "" name ${case})
        set(test ${group}_${short}.${name})
        # pytest runs on the build machine, also where the programs run under Wine.
        set(command ${DEBIAN_PYTHON} -m pytest ${path}::${case} --bin ${PROGRAM_OUTPUT_DIR}
            ${T_ARGS})
        if(ZUZ_ZONARA_SANITIZE)
            checked_command(command ${test} ${command})
        endif()
        add_test(NAME ${test} COMMAND ${command})
        set_tests_properties(${test} PROPERTIES
            LABELS "e2e;${T_LABELS}" TIMEOUT ${timeout} SKIP_RETURN_CODE 77
            ENVIRONMENT "${environment}")
    endforeach()
endfunction()

# set_case_times(<test> <seconds> ...)
# How long each case took when measured, where that is more than 20 s:
# it gets three times that as its time-out (more in the sanitized build,
# where everything runs slower), and the label slow.
# Entries not registered in this build (the desktops in the sanitized
# one) are passed over.
function(set_case_times)
    set(factor 3)
    if(ZUZ_ZONARA_SANITIZE)
        set(factor 6)
    endif()
    while(ARGN)
        list(POP_FRONT ARGN test seconds)
        if(NOT TEST ${test})
            continue()
        endif()
        math(EXPR timeout "${seconds} * ${factor}")
        if(timeout LESS 90)
            set(timeout 90)
        endif()
        set_tests_properties(${test} PROPERTIES TIMEOUT ${timeout})
        set_property(TEST ${test} APPEND PROPERTY LABELS slow)
    endwhile()
endfunction()
