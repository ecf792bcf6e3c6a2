# The Windows build (cross-compiled with mingw-w64, tested under Wine): the toolkit-free logic, the Win32
# platform and velmora.exe. Included from the top-level CMakeLists.txt instead of the Linux build; it needs
# neither Qt nor GIO.

enable_language(C)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

option(VELMORA_BUILD_TESTS "Build the tests" ON)

add_library(velmora_warnings INTERFACE)
target_compile_options(velmora_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    $<$<BOOL:${VELMORA_WARNINGS_AS_ERRORS}>:-Werror>)

# Every Windows program and test runs through Wine, in the prefix that the test set-up makes in the build tree.
set(VELMORA_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/windows/wine-env.sh run ${VELMORA_WINE_STATE})

# --- The pieces of the logic the platform builds on ------------------------------------------------------
add_library(velmora_logic STATIC
    shell/runtime_error.cpp
    shell/shell_link.cpp
)
target_include_directories(velmora_logic PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(velmora_logic PRIVATE velmora_warnings)

# --- The Win32 platform --------------------------------------------------------------------------------
add_library(velmora_windows STATIC
    shell/windows/command_line_win.cpp
    shell/windows/current_directory_win.cpp
    shell/windows/error_mapping_win.cpp
    shell/windows/files_win.cpp
    shell/windows/input_box_win.cpp
    shell/windows/windows_platform.cpp
    shell/windows/wscript_shell_win.cpp
)
target_link_libraries(velmora_windows
    PUBLIC velmora_logic ole32 oleaut32 uuid shell32 user32 kernel32
    PRIVATE velmora_warnings)

if(VELMORA_BUILD_TESTS)
    enable_testing()
    add_subdirectory(tests/windows)
endif()
