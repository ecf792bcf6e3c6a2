# The exit codes the program has (ExitCode in shell/platform.h), the README's table and the manual page's
# EXIT STATUS must name the same numbers. Run with -DSOURCE_DIR=<the source tree>.

# The numbers of every line of `text` that matches `pattern` (its first group), in order.
function(numbers_of text pattern result)
    string(REGEX MATCHALL "${pattern}" lines "${text}")
    set(numbers "")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "${pattern}" "\\1" number "${line}")
        list(APPEND numbers ${number})
    endforeach()
    set(${result} "${numbers}" PARENT_SCOPE)
endfunction()

# The part of `text` from the first match of `begin` up to the first match of `end` after it.
function(section_of text begin end result)
    string(REGEX MATCH "${begin}.*" rest "${text}")
    if(rest STREQUAL "")
        message(FATAL_ERROR "no section beginning with ${begin}")
    endif()
    string(SUBSTRING "${rest}" 1 -1 after)
    string(REGEX MATCH "${end}" found "${after}")
    if(NOT found STREQUAL "")
        string(FIND "${after}" "${found}" stop)
        string(SUBSTRING "${rest}" 0 ${stop} rest)
    endif()
    set(${result} "${rest}" PARENT_SCOPE)
endfunction()

file(READ "${SOURCE_DIR}/shell/platform.h" platform)
section_of("${platform}" "enum class ExitCode" "};" codes)
numbers_of("${codes}" "= ([0-9]+)," program)

file(READ "${SOURCE_DIR}/README.md" readme)
section_of("${readme}" "\n## Exit codes" "\n## " table)
numbers_of("${table}" "\n\\| ([0-9]+) \\|" documented)

file(READ "${SOURCE_DIR}/packaging/velmora.1" manual)
section_of("${manual}" "\n\\.SH \"EXIT STATUS\"" "\n\\.SH " status)
numbers_of("${status}" "\n\\.B ([0-9]+)\n" manualCodes)

message(STATUS "program: ${program}; README: ${documented}; velmora(1): ${manualCodes}")
if(program STREQUAL "" OR NOT program STREQUAL documented OR NOT program STREQUAL manualCodes)
    message(FATAL_ERROR "the exit codes differ: program ${program}, README ${documented}, velmora(1) ${manualCodes}")
endif()
