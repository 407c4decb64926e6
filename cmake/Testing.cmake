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

# add_qtest(NAME <name> SOURCES <files...> LIBS <targets...>)
# A QtTest executable run by ctest on the offscreen platform.
function(add_qtest)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test Qt6::Widgets ${T_LIBS})
    checked_command(command ${T_NAME} $<TARGET_FILE:${T_NAME}>)
    add_test(NAME ${T_NAME} COMMAND ${command})
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false;LANGUAGE=zh_CN"
        LABELS "unit"
        TIMEOUT 120)
endfunction()

# add_e2e_test(NAME <name> SCRIPT <file.py>)
# A script that drives the real programs on a private X server.
function(add_e2e_test)
    cmake_parse_arguments(T "" "NAME;SCRIPT" "" ${ARGN})
    checked_command(command ${T_NAME} ${DEBIAN_PYTHON} ${T_SCRIPT} --bin ${PROGRAM_OUTPUT_DIR})
    add_test(NAME ${T_NAME} COMMAND ${command})
    set_tests_properties(${T_NAME} PROPERTIES
        LABELS "e2e" TIMEOUT 300
        ENVIRONMENT "PYTHONDONTWRITEBYTECODE=1;LANGUAGE=zh_CN")
endfunction()
