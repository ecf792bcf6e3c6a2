# The Windows build (cross-compiled with mingw-w64, tested under Wine): the toolkit-free logic, the Win32
# platform and velmora.exe. Included from the top-level CMakeLists.txt instead of the Linux build; it needs
# neither Qt nor GIO.

enable_language(C)
enable_language(RC)

# windows.h without the rarely used parts and without its min/max macros, which break std::min and std::max.
add_compile_definitions($<$<COMPILE_LANGUAGE:CXX>:WIN32_LEAN_AND_MEAN> $<$<COMPILE_LANGUAGE:CXX>:NOMINMAX>)
# Every program runs on its own: no libgcc, libstdc++ or winpthread DLL to ship beside it.
add_link_options(-static -static-libgcc -static-libstdc++)

# Every Windows program and test runs through Wine, in the prefix that the test set-up makes in the build tree.
set(VELMORA_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/windows/wine-env.sh run ${VELMORA_WINE_STATE})

# --- The Win32 platform --------------------------------------------------------------------------------
add_library(velmora_windows STATIC
    shell/windows/ansi_text_win.cpp
    shell/windows/command_line_win.cpp
    shell/windows/current_directory_win.cpp
    shell/windows/error_mapping_win.cpp
    shell/windows/files_win.cpp
    shell/windows/in_place_rewrite_win.cpp
    shell/windows/input_box_win.cpp
    shell/windows/on_demand_calls_win.cpp
    shell/windows/windows_platform.cpp
    shell/windows/wscript_shell_win.cpp
)
# shell32, ole32 and oleaut32 are loaded on first use (on_demand_calls_win), so they are not linked.
target_link_libraries(velmora_windows
    PUBLIC velmora_logic uuid user32 kernel32
    PRIVATE velmora_warnings)

# --- The native window: the view over Win32 and its message loop -----------------------------------------
add_library(velmora_windows_view STATIC
    main_window/windows/control_drawing_win.cpp
    main_window/windows/form1_win.cpp
    main_window/windows/gdi_calls_win.cpp
    main_window/windows/tooltip_calls_win.cpp
    main_window/windows/win32_window_system.cpp
    main_window/windows/window_calls_win.cpp
)
target_link_libraries(velmora_windows_view
    PUBLIC velmora_windows velmora_logic gdi32 user32
    PRIVATE velmora_warnings)

# --- The program: a GUI-subsystem executable with its icon, manifest and version -------------------------
configure_file(app/velmora.rc.in ${CMAKE_BINARY_DIR}/generated/velmora.rc @ONLY)
add_executable(velmora WIN32 app/main_windows.cpp ${CMAKE_BINARY_DIR}/generated/velmora.rc)
# The resource compiler does not report the files the script pulls in: an edited icon or manifest must still
# rebuild the program.
set_source_files_properties(${CMAKE_BINARY_DIR}/generated/velmora.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/app/velmora.ico;${CMAKE_SOURCE_DIR}/app/velmora.manifest")
target_link_libraries(velmora PRIVATE velmora_windows_view velmora_windows velmora_logic velmora_warnings)

# --- The installer (NSIS): cmake --build --preset windows --target installer ----------------------------
find_program(VELMORA_MAKENSIS makensis)
set(VELMORA_INSTALLER ${CMAKE_BINARY_DIR}/velmora-${PROJECT_VERSION}-win64.exe)
if(VELMORA_MAKENSIS)
    add_custom_command(OUTPUT ${VELMORA_INSTALLER}
        COMMAND ${VELMORA_MAKENSIS} -V2 -WX "-DVELMORA_EXE=$<TARGET_FILE:velmora>" "-DOUTFILE=${VELMORA_INSTALLER}"
                "-DVERSION=${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}" ${CMAKE_SOURCE_DIR}/installer/velmora.nsi
        DEPENDS velmora ${CMAKE_SOURCE_DIR}/installer/velmora.nsi
        COMMENT "Building the installer ${VELMORA_INSTALLER}"
        VERBATIM)
    # Part of the default build, so that its test always has an installer to try.
    add_custom_target(installer ALL DEPENDS ${VELMORA_INSTALLER})
else()
    add_custom_target(installer COMMAND ${CMAKE_COMMAND} -E echo "makensis (package nsis) is needed for the installer"
        COMMAND ${CMAKE_COMMAND} -E false)
endif()

# The window-less switch of a large variant against `cmd /c copy`, under Wine: scripts/windows/bench.sh.
add_executable(velmora_switch_bench_windows EXCLUDE_FROM_ALL bench/switch_bench_win.cpp)
target_link_libraries(velmora_switch_bench_windows PRIVATE velmora_warnings)

# The window's start against an empty Win32 window, under Wine: scripts/windows/bench-window.sh.
add_executable(velmora_bare_window_windows WIN32 EXCLUDE_FROM_ALL bench/bare_window_win.cpp)
add_executable(velmora_window_bench_windows EXCLUDE_FROM_ALL bench/window_start_bench_win.cpp)
target_link_libraries(velmora_window_bench_windows PRIVATE psapi velmora_warnings)

if(VELMORA_BUILD_TESTS)
    enable_testing()
    add_subdirectory(tests/windows)
endif()
