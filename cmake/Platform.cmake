# Which platform the build is for and which platform files each library
# gets, decided here and nowhere else. There are two: Linux, one build for
# X11 and Wayland alike (which adapters serve is found at run time, in
# src/shared/platform/systemchoice_unix.cpp), and Windows, cross-built with
# MinGW (systemchoice_win.cpp). Each library lists its own platform-free
# files and calls platform_sources(<library>) for the rest.
if(WIN32)
    set(ZUZ_PLATFORM Windows)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(ZUZ_PLATFORM Linux)
else()
    message(FATAL_ERROR "zuz and Zonara build for Linux and Windows, not ${CMAKE_SYSTEM_NAME}")
endif()

if(ZUZ_PLATFORM STREQUAL "Linux")
    find_package(PkgConfig REQUIRED)
    # Qt's own X connection for capture, the hotkey, stacking and RandR;
    # XInput for the pointer's own events while an area is picked.
    pkg_check_modules(PLATFORM_XCB REQUIRED IMPORTED_TARGET xcb xcb-shm xcb-randr xcb-render)
    pkg_check_modules(PLATFORM_XINPUT REQUIRED IMPORTED_TARGET xcb xcb-xinput)
    # The Wayland clipboard is read, and the compositor's round trip asked
    # for, on Qt's own connection, which only its platform interface hands
    # out.
    pkg_check_modules(PLATFORM_WAYLAND REQUIRED IMPORTED_TARGET wayland-client)
    # The desktop portals and the notification service, over D-Bus.
    find_package(Qt6 REQUIRED COMPONENTS DBus Network)
    # The desktop's pictures of large screens are decoded without the image
    # readers' process-wide limit (portalpicture.h).
    find_package(PNG REQUIRED)
    # The common kind of those pictures is inflated by libdeflate, at twice
    # zlib's speed (pngrows.h).
    pkg_check_modules(PLATFORM_DEFLATE REQUIRED IMPORTED_TARGET libdeflate)
endif()

# platform_sources(<library>): the platform files and libraries of one of
# zshared, areapicker and derudovudicore, from the folder that makes it.
function(platform_sources library)
    set(sources)
    set(libraries)
    # Files that include windows.h, which defines macros under names the
    # project's headers declare (VK_ESCAPE): they stay out of
    # unity batches.
    set(alone)
    if(ZUZ_PLATFORM STREQUAL "Linux" AND library STREQUAL "zshared")
        # The later start's side of the instance channel, plain C++: the
        # launchers use it too (cmake/Program.cmake).
        add_library(localchannel STATIC platform/localchannel_posix.h
            platform/localchannel_posix.cpp instanceaddress.h startrequest.h)
        target_include_directories(localchannel PUBLIC ${PROJECT_SOURCE_DIR}/src)
        set_target_properties(localchannel PROPERTIES POSITION_INDEPENDENT_CODE ON
            AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
        # X11 and the portals, a passive grab for the key on X11, a round
        # trip to the Wayland compositor, and a later start's request over
        # a local socket.
        set(sources
            platform/systemchoice_unix.cpp
            platform/x11connection.h
            platform/instancechannel_local.cpp
            platform/screengrabber_x11.h platform/screengrabber_x11.cpp
            platform/screengrabber_x11_segment.h platform/screengrabber_x11_render.cpp
            platform/screengrabber_portal.h platform/screengrabber_portal.cpp
            platform/portalpicture.h platform/portalpicture.cpp
            platform/pngrows.h platform/pngrows.cpp
            platform/hotkey_x11.h platform/hotkey_x11.cpp
            platform/hotkey_portal.h platform/hotkey_portal.cpp
            platform/virtualkey_x11.h platform/virtualkey_x11.cpp
            platform/monitorgeometry_x11.cpp
            platform/stacking_x11.cpp
            platform/qtwayland.h platform/qtwayland.cpp
            platform/compositorsync_wayland.h platform/compositorsync_wayland.cpp
            platform/termination_posix.cpp
            platform/programstarter_process.cpp
            platform/userfolder_xdg.cpp)
        set(libraries localchannel PkgConfig::PLATFORM_XCB Qt6::DBus Qt6::Network PNG::PNG
            PkgConfig::PLATFORM_DEFLATE PkgConfig::PLATFORM_WAYLAND Qt6::GuiPrivate)
    elseif(ZUZ_PLATFORM STREQUAL "Windows" AND library STREQUAL "zshared")
        # RegisterHotKey, GDI, SetWindowPos, ShellExecuteW, %APPDATA% and a
        # named pipe. No signals come: the programs end by their menus.
        set(alone
            platform/systemchoice_win.cpp
            platform/hotkey_win.cpp
            platform/screengrabber_win.cpp
            platform/monitorgeometry_win.cpp
            platform/stacking_win.cpp
            platform/programstarter_win.cpp
            platform/instancechannel_win.cpp
            platform/instancefolder_win.cpp)
        set(sources ${alone}
            platform/hotkey_win.h
            platform/virtualkey_win.cpp
            platform/screengrabber_win.h
            platform/instancechannel_win.h
            platform/userfolder_win.cpp
            platform/termination_null.cpp)
        set(libraries user32 gdi32 shell32 advapi32)
    elseif(ZUZ_PLATFORM STREQUAL "Linux" AND library STREQUAL "areapicker")
        # What Qt does not tell is asked of X11; the clipboard of either.
        set(sources platform/windowsystem_x11.cpp
            platform/clipboardread_unix.h platform/clipboardread_unix.cpp
            platform/clipboardread_x11.cpp platform/clipboardread_wayland.cpp)
        set(libraries PkgConfig::PLATFORM_XINPUT PkgConfig::PLATFORM_WAYLAND)
    elseif(ZUZ_PLATFORM STREQUAL "Windows" AND library STREQUAL "areapicker")
        set(alone platform/clipboardread_win.cpp)
        set(sources platform/windowsystem_null.cpp platform/clipboardread_win.cpp)
    elseif(ZUZ_PLATFORM STREQUAL "Linux" AND library STREQUAL "derudovudicore")
        # The session's notification service; a clipboard manager of X11;
        # the client's end seen through a pidfd.
        set(sources platform/notifier_dbus.cpp platform/clipboardlife_x11.cpp platform/clientwatch_pidfd.cpp)
        set(libraries Qt6::DBus PkgConfig::PLATFORM_XCB)
    elseif(ZUZ_PLATFORM STREQUAL "Windows" AND library STREQUAL "derudovudicore")
        # The notification-area icon's message; the clipboard the system
        # keeps.
        set(alone platform/clipboardlife_win.cpp)
        set(sources platform/notifier_tray.cpp platform/clipboardlife_win.cpp platform/clientwatch_win.cpp)
        set(libraries ole32)
    else()
        message(FATAL_ERROR "platform_sources: no ${ZUZ_PLATFORM} files for ${library}")
    endif()
    target_sources(${library} PRIVATE ${sources})
    target_link_libraries(${library} PRIVATE ${libraries})
    if(alone)
        set_source_files_properties(${alone} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    endif()
endfunction()
