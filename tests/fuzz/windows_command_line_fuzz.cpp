// The Windows command-line text after the program path against a reference of the rules: a quoted path ends
// at its closing quote, an unquoted one at the first blank or tab, and one blank or tab after it goes with it.
// The path and the text after it always make the whole command line again.
#include <cstdint>
#include <string>
#include <string_view>

#include "shell/windows/command_line_win.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

std::size_t ReferenceProgramPathLength(std::string_view line)
{
    std::size_t end = 0;
    if (!line.empty() && line[0] == '"') {
        end = 1;
        while (end < line.size() && line[end] != '"')
            ++end;
        if (end < line.size())
            ++end;  // the closing quote
    } else {
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
    }
    if (end < line.size() && (line[end] == ' ' || line[end] == '\t'))
        ++end;
    return end;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const std::string rest = velmora::windows_platform::TextAfterProgramPath(line);
    velmora::fuzz::Check(rest.size() <= line.size() && line.ends_with(rest),
                         "the text after the path is the end of the command line, unchanged");
    velmora::fuzz::Check(line.size() - rest.size() == ReferenceProgramPathLength(line),
                         "the program path ends where the reference says");
    return 0;
}
