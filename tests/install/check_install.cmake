# Installs the build into a fresh prefix and checks that the program, its desktop library, a valid desktop
# entry and every icon size land where desktops look for them.
#   cmake -DBUILD_DIR=... -DPREFIX=... -DLIBRARY_DIR=<lib/<triplet>/velmora> -DVALIDATE=<desktop-file-validate>
#         -P check_install.cmake

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

foreach(path bin/velmora ${LIBRARY_DIR}/velmora-desktop.so share/applications/velmora.desktop)
    if(NOT EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()

# Each icon stands in the folder of its own size: the PNG header's width and height say so.
foreach(size 16 24 32 48 64 128 256)
    set(icon "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/velmora.png")
    if(NOT EXISTS "${icon}")
        message(FATAL_ERROR "icon not installed: ${icon}")
    endif()
    file(READ "${icon}" header OFFSET 16 LIMIT 8 HEX)
    math(EXPR expected "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(REGEX REPLACE "^0x" "" expected "${expected}")
    string(LENGTH "${expected}" digits)
    math(EXPR padding "8 - ${digits}")
    string(REPEAT "0" ${padding} zeros)
    set(expected "${zeros}${expected}")
    if(NOT header STREQUAL "${expected}${expected}")
        message(FATAL_ERROR "${icon} is not ${size}x${size} (header ${header})")
    endif()
endforeach()

execute_process(COMMAND "${VALIDATE}" "${PREFIX}/share/applications/velmora.desktop"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${output}")
endif()

file(REMOVE_RECURSE "${PREFIX}")
