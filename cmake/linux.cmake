# Velmora on Linux: POSIX for files and processes, GIO for default applications, Qt for the boxes and the
# window. The two desktop pieces are libraries loaded only when first needed.

# The program finds its libraries in a private folder of the multiarch library directory, ../lib/<triplet>/velmora
# relative to itself, in the build tree as installed. Nothing else links them, so they stay out of ldconfig's
# directories (and a package needs no ldconfig call).
if(CMAKE_LIBRARY_ARCHITECTURE)
    set(VELMORA_OWN_LIBRARY_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/velmora)
else()
    set(VELMORA_OWN_LIBRARY_DIR lib/velmora)
endif()
set(VELMORA_DESKTOP_LIBRARY_DIR ${CMAKE_BINARY_DIR}/${VELMORA_OWN_LIBRARY_DIR})

find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(GIO REQUIRED IMPORTED_TARGET gio-2.0 gio-unix-2.0)

# --- The Linux platform without the desktop: POSIX files, processes, drive mapping ---------------------
add_library(velmora_linux STATIC
    shell/linux/desktop_entry_exec.cpp
    shell/linux/desktop_launcher.cpp
    shell/linux/directory_search.cpp
    shell/linux/display_probe.cpp
    shell/linux/drive_mapping.cpp
    shell/linux/errno_mapping.cpp
    shell/linux/file_names.cpp
    shell/linux/in_place_rewrite.cpp
    shell/linux/linux_platform.cpp
    shell/linux/linux_platform_files.cpp
    shell/linux/linux_platform_processes.cpp
    shell/linux/linux_platform_shell.cpp
    shell/linux/linux_shortcut.cpp
    shell/linux/name_caches.cpp
    shell/linux/own_libraries.cpp
    shell/linux/posix_files.cpp
    shell/linux/posix_io.cpp
    shell/linux/privileged_helper.cpp
    shell/linux/process_start.cpp
    shell/linux/replacement_lock.cpp
)
target_link_libraries(velmora_linux PUBLIC velmora_logic Threads::Threads ${CMAKE_DL_LIBS} PRIVATE velmora_warnings)
# The program finds its privileged helper at <prefix>/<libexec>/velmora beside its own <prefix>/bin, and its
# libraries in their private folder: both folders are compiled in, as the home page is.
configure_file(cmake/install_layout_config.h.in ${CMAKE_BINARY_DIR}/generated/velmora/install_layout_config.h @ONLY)
target_include_directories(velmora_linux PRIVATE ${CMAKE_BINARY_DIR}/generated)

# --- The desktop side: default applications (GIO), Qt dialogs and the window, loaded only when needed ---
add_library(velmora_gio STATIC shell/linux/desktop/default_applications.cpp)
target_link_libraries(velmora_gio PUBLIC velmora_linux PkgConfig::GIO PRIVATE velmora_warnings)
add_library(velmora_applications MODULE shell/linux/desktop/application_lookup_library.cpp)
target_link_libraries(velmora_applications PRIVATE velmora_gio velmora_warnings)
set_target_properties(velmora_applications PROPERTIES
    PREFIX "" OUTPUT_NAME velmora-applications
    LIBRARY_OUTPUT_DIRECTORY ${VELMORA_DESKTOP_LIBRARY_DIR}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)

# The platform's Qt side: the boxes and the font stand-ins.
add_library(velmora_qt STATIC
    shell/linux/qt/qt_dialogs.cpp
    shell/linux/qt/font_substitutes.cpp
)
target_link_libraries(velmora_qt PUBLIC velmora_logic Qt6::Widgets PRIVATE velmora_warnings)

# The window's Qt view: the logic's view interface over Qt Widgets, and the platform's Qt texts.
add_library(velmora_qt_view STATIC
    main_window/qt/form1.cpp
    main_window/qt/form1_widgets.cpp
    app/velmora.qrc
)
target_link_libraries(velmora_qt_view PUBLIC velmora_qt velmora_logic Qt6::Widgets PRIVATE velmora_warnings)
set_target_properties(velmora_qt_view PROPERTIES AUTOMOC ON AUTORCC ON)

# One library for both Qt parts, so that one toolkit application serves the boxes and the window: the
# platform part (shell/linux/qt) and the window part (main_window/qt).
add_library(velmora_desktop MODULE shell/linux/qt/desktop_library.cpp main_window/qt/window_library.cpp)
target_link_libraries(velmora_desktop PRIVATE velmora_qt_view velmora_qt velmora_warnings)
set_target_properties(velmora_desktop PROPERTIES
    PREFIX "" OUTPUT_NAME velmora-desktop
    LIBRARY_OUTPUT_DIRECTORY ${VELMORA_DESKTOP_LIBRARY_DIR}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)

# The window system as the program holds it: it loads the desktop library's window part, never Qt itself.
add_library(velmora_linux_window_system STATIC main_window/qt/desktop_window_system.cpp)
target_link_libraries(velmora_linux_window_system PUBLIC velmora_linux PRIVATE velmora_warnings)

# --- The program -----------------------------------------------------------------------------------------
add_executable(velmora app/main_linux.cpp)
target_link_libraries(velmora PRIVATE velmora_linux_window_system velmora_linux velmora_warnings)
add_dependencies(velmora velmora_desktop velmora_applications)

# The privileged helper that pkexec starts for a user who may not write /etc/hosts; /etc is compiled in.
set(VELMORA_HELPER_DIR ${CMAKE_INSTALL_LIBEXECDIR}/velmora)
add_executable(velmora_switch app/velmora_switch_linux.cpp)
target_link_libraries(velmora_switch PRIVATE velmora_linux velmora_warnings)
set_target_properties(velmora_switch PROPERTIES OUTPUT_NAME velmora-switch
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${VELMORA_HELPER_DIR})
add_dependencies(velmora velmora_switch)

install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS velmora_switch RUNTIME DESTINATION ${VELMORA_HELPER_DIR})
install(TARGETS velmora_desktop velmora_applications LIBRARY DESTINATION ${VELMORA_OWN_LIBRARY_DIR})
install(FILES app/velmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 24 32 48 64 128 256)
    install(FILES app/icons/velmora-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME velmora.png)
endforeach()

# The polkit actions name the helper by its installed path, which is known only when installing (a package
# is staged with a prefix of its own), so the policy is written then, -rw-r--r-- whatever the template's mode
# in the source tree (git archive makes it -rw-rw-r--).
set(VELMORA_POLICY_TEMPLATE ${CMAKE_SOURCE_DIR}/packaging/org.example.velmora.policy.in)
set(VELMORA_POLICY_DIR ${CMAKE_INSTALL_DATADIR}/polkit-1/actions)
install(CODE "
    set(VELMORA_HELPER_PATH \"\${CMAKE_INSTALL_PREFIX}/${VELMORA_HELPER_DIR}/velmora-switch\")
    set(policy \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VELMORA_POLICY_DIR}/org.example.velmora.policy\")
    message(STATUS \"Installing: \${policy}\")
    configure_file(\"${VELMORA_POLICY_TEMPLATE}\" \"\${policy}\" @ONLY NO_SOURCE_PERMISSIONS)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${policy}\")
")
install(FILES packaging/org.example.velmora.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page and the Debian changelog are installed compressed, as Debian ships them.
set(VELMORA_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
foreach(source velmora.1 changelog)
    add_custom_command(OUTPUT ${VELMORA_PACKAGING_OUT}/${source}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/${source}
                ${VELMORA_PACKAGING_OUT}/${source}
        COMMAND gzip -9nf ${VELMORA_PACKAGING_OUT}/${source}
        DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${source} VERBATIM)
endforeach()
add_custom_target(velmora_documents ALL
    DEPENDS ${VELMORA_PACKAGING_OUT}/velmora.1.gz ${VELMORA_PACKAGING_OUT}/changelog.gz)
install(FILES ${VELMORA_PACKAGING_OUT}/velmora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VELMORA_PACKAGING_OUT}/changelog.gz packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora)

include(cmake/packaging.cmake)
