// How the Linux platform reads the command lines the logic starts programs with ("Notepad.exe " and a path
// that ends in a name from the hosts directory): whatever bytes the argument holds, the program comes back
// as it was named and the argument as one whole text, only one pair of enclosing double quotes removed.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "shell/linux/process_start.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool quoted = input.ConsumeBool();
    const std::string program = input.ConsumeRandomLengthString(32);
    const std::string argument = input.ConsumeRemainingBytesAsString();
    // A program as the logic names one: not empty, not itself starting with a quote, no quote inside a quoted one.
    if (program.empty() || program.front() == '"' || (quoted && program.find('"') != std::string::npos))
        return 0;

    const std::string commandLine = (quoted ? '"' + program + '"' : program) + " " + argument;
    const auto parts = velmora::linux_platform::SplitCommandLine(
        commandLine, [&](const std::string& candidate) { return candidate == program; });
    velmora::fuzz::Check(parts.program == program, "the program comes back as it was named");
    const bool enclosed = argument.size() >= 2 && argument.front() == '"' && argument.back() == '"';
    if (argument.empty())
        velmora::fuzz::Check(!parts.argument, "no argument after the program gives none");
    else
        velmora::fuzz::Check(parts.argument == (enclosed ? argument.substr(1, argument.size() - 2) : argument),
                             "the argument is the whole rest, one pair of enclosing quotes removed");
    return 0;
}
