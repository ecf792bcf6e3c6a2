# The Linux side's tests: the platform over real files in temporary directories, the Qt view and dialogs
# without a display, the real program end to end, and the installed tree.

add_library(velmora_linux_test_support STATIC
    support/process_runner.cpp
    support/temp_directory.cpp
    support/xdg_environment.cpp
)
target_link_libraries(velmora_linux_test_support PUBLIC velmora_linux GTest::gtest)

add_executable(velmora_linux_tests
    shell/linux/current_directory_test.cpp
    shell/linux/default_applications_test.cpp
    shell/linux/drive_mapping_test.cpp
    shell/linux/file_lookup_test.cpp
    shell/linux/hostile_files_test.cpp
    shell/linux/linux_shortcut_test.cpp
    shell/linux/posix_files_test.cpp
    shell/linux/process_start_test.cpp
    shell/linux/shell_link_lnkinfo_test.cpp
    shell/linux/linux_contract_subject.cpp
    shell/platform_contract_test.cpp
)
target_link_libraries(velmora_linux_tests PRIVATE velmora_linux_test_support velmora_logic_test_support velmora_gio GTest::gtest_main
                      velmora_warnings)
# The platform's shortcut tests open the desktop library (offscreen).
add_dependencies(velmora_linux_tests velmora_desktop velmora_applications)
gtest_discover_tests(velmora_linux_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS linux)

# End-to-end tests run the real program on a temporary drive; the bell's are heard on a private Xvfb server.
pkg_check_modules(XCB_XKB REQUIRED IMPORTED_TARGET xcb xcb-xkb)
add_executable(velmora_end_to_end_tests
    support/virtual_x_server.cpp
    e2e/bell_test.cpp
    e2e/desktop_programs_test.cpp
    e2e/desktop_shortcut_test.cpp
    e2e/switch_test.cpp
    e2e/home_page_link_test.cpp
)
target_link_libraries(velmora_end_to_end_tests PRIVATE velmora_linux_test_support PkgConfig::XCB_XKB GTest::gtest_main
                      velmora_warnings)
target_compile_definitions(velmora_end_to_end_tests PRIVATE VELMORA_EXECUTABLE="$<TARGET_FILE:velmora>")
add_dependencies(velmora_end_to_end_tests velmora velmora_desktop velmora_applications)
gtest_discover_tests(velmora_end_to_end_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS e2e)

# Tests of the Qt side, without a display.
find_package(Qt6 REQUIRED COMPONENTS Test)
function(velmora_add_qt_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE velmora_qt_view velmora_linux_test_support velmora_logic_test_support Qt6::Test
                          velmora_warnings)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS qt)
endfunction()

velmora_add_qt_test(tst_qt_dialogs shell/linux/qt/tst_qt_dialogs.cpp)
velmora_add_qt_test(tst_form1 main_window/qt/tst_form1.cpp)

# cmake --install gives the program, its desktop library, a valid desktop entry and the icons.
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(NOT DESKTOP_FILE_VALIDATE)
    set(DESKTOP_FILE_VALIDATE desktop-file-validate-is-not-installed)
endif()
add_test(NAME InstallPutsEntryAndIconsInPlace
         COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/install-check
                 -DLIBRARY_DIR=${VELMORA_OWN_LIBRARY_DIR} -DVALIDATE=${DESKTOP_FILE_VALIDATE}
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/install/check_install.cmake)
set_tests_properties(InstallPutsEntryAndIconsInPlace PROPERTIES LABELS install)

# The privileged helper built for tests only: its drive is a sandbox in the build tree, fixed when it is built.
set(VELMORA_SANDBOX_HELPER_DRIVE ${CMAKE_CURRENT_BINARY_DIR}/switch-helper-drive)
add_executable(velmora_switch_sandboxed ${CMAKE_SOURCE_DIR}/app/velmora_switch_linux.cpp)
target_link_libraries(velmora_switch_sandboxed PRIVATE velmora_linux velmora_warnings)
target_compile_definitions(velmora_switch_sandboxed PRIVATE
    VELMORA_SWITCH_SANDBOX_DRIVE="${VELMORA_SANDBOX_HELPER_DRIVE}")
set_target_properties(velmora_switch_sandboxed PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/bin)

add_executable(velmora_switch_helper_tests e2e/switch_helper_test.cpp)
target_link_libraries(velmora_switch_helper_tests PRIVATE velmora_linux_test_support GTest::gtest_main velmora_warnings)
target_compile_definitions(velmora_switch_helper_tests PRIVATE
    VELMORA_EXECUTABLE="$<TARGET_FILE:velmora>"
    VELMORA_SANDBOX_HELPER="$<TARGET_FILE:velmora_switch_sandboxed>"
    VELMORA_SANDBOX_HELPER_DRIVE="${VELMORA_SANDBOX_HELPER_DRIVE}")
add_dependencies(velmora_switch_helper_tests velmora_switch_sandboxed velmora)
gtest_discover_tests(velmora_switch_helper_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS polkit)

# The Debian package and the RPM: built with cpack from this tree, inspected, installed (the RPM into a
# scratch root), used on a sandbox drive and removed (the installs only as root, the .deb's only where no
# velmora package is installed). Not under the sanitizers: a package is made of the optimised build.
if(NOT VELMORA_SANITIZE)
    add_test(NAME PackagesBuildInstallAndRemoveCleanly
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/package/check_package.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(PackagesBuildInstallAndRemoveCleanly PROPERTIES LABELS package TIMEOUT 600
                         RUN_SERIAL ON)
endif()
