# How each of the two programs is built.
#
# Where a later start reaches the running instance over a local socket
# (Linux), the program's executable is a small launcher that
# needs only the C and C++ runtime: a later start hands its request over
# without the dynamic loader first mapping and relocating Qt's
# libraries, which took longer than the view it asks for. Only a start
# that goes on loads the program proper, <name>-program.so beside the
# launcher; the process, its name and its folder stay the launcher's.
# Elsewhere the executable is the program.
if(ZUZ_PLATFORM STREQUAL "Linux")
    set(PROGRAM_LAUNCHER ON)
else()
    set(PROGRAM_LAUNCHER OFF)
endif()

# add_program(<name> <core library>): main.cpp, or launch.cpp and module.cpp
# with a launcher, from the calling folder.
function(add_program name core)
    set(dir ${CMAKE_CURRENT_SOURCE_DIR})
    if(NOT PROGRAM_LAUNCHER)
        add_executable(${name} ${dir}/main.cpp)
        target_link_libraries(${name} PRIVATE ${core})
        set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROGRAM_OUTPUT_DIR})
        install(TARGETS ${name} RUNTIME DESTINATION ${PROGRAM_INSTALL_DIR})
        return()
    endif()
    add_library(${name}-program MODULE ${dir}/module.cpp)
    target_link_libraries(${name}-program PRIVATE ${core} launcher_headers)
    set_target_properties(${name}-program PROPERTIES
        PREFIX "" SUFFIX ".so"
        LIBRARY_OUTPUT_DIRECTORY ${PROGRAM_OUTPUT_DIR})
    # Loaded, not run: not executable, as Debian wants shared objects.
    install(TARGETS ${name}-program LIBRARY DESTINATION ${PROGRAM_INSTALL_DIR}
            PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

    add_executable(${name} ${dir}/launch.cpp)
    target_link_libraries(${name} PRIVATE launcher)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROGRAM_OUTPUT_DIR}
        AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
    # Whatever builds or runs the program builds both halves.
    add_dependencies(${name} ${name}-program)
    install(TARGETS ${name} RUNTIME DESTINATION ${PROGRAM_INSTALL_DIR})
endfunction()
