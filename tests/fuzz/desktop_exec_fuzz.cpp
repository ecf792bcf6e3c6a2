// The desktop entry `Exec` expansion: whatever the Exec line (already split into its arguments) and whatever
// bytes the file or URL holds, the target comes out as exactly one whole argument, unchanged, or the entry is
// refused. Expanding the same line for two different targets must give two argument vectors that differ in
// exactly that one argument; a refusal may not depend on the target's bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shell/linux/desktop_entry_exec.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using velmora::fuzz::Check;
using velmora::linux_platform::CommandLineFor;
using velmora::linux_platform::DefaultApplication;

// The arguments of the template, separated by NUL bytes (which no argument can hold).
std::vector<std::string> SplitAtNul(const std::string& text)
{
    std::vector<std::string> arguments;
    std::size_t start = 0;
    for (std::size_t end = text.find('\0'); end != std::string::npos; end = text.find('\0', start)) {
        arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    arguments.push_back(text.substr(start));
    return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    DefaultApplication application;
    application.name = input.ConsumeRandomLengthString(12);
    application.icon = input.ConsumeRandomLengthString(12);
    application.desktopFile = input.ConsumeRandomLengthString(12);
    const bool withTarget = input.ConsumeBool();
    const std::string target = input.ConsumeRandomLengthString(64);
    // Another target that differs from the first wherever it could: a byte more, and a different first byte.
    const std::string other = target.empty() ? std::string("\x01") : char(target[0] ^ 0x55) + target.substr(1) + "%";
    application.commandTemplate = SplitAtNul(input.ConsumeRemainingBytesAsString());

    const auto command = CommandLineFor(application, withTarget ? std::optional(target) : std::nullopt);
    const auto otherCommand = CommandLineFor(application, withTarget ? std::optional(other) : std::nullopt);
    Check(command.has_value() == otherCommand.has_value(), "a refusal does not depend on the target's bytes");
    if (!command)
        return 0;
    Check(command->size() == otherCommand->size(), "the target makes no more or fewer arguments");
    if (!withTarget) {
        Check(*command == *otherCommand, "without a target the command is the same");
        return 0;
    }
    std::size_t differing = 0;
    for (std::size_t i = 0; i < command->size(); ++i) {
        if ((*command)[i] == (*otherCommand)[i])
            continue;
        ++differing;
        Check((*command)[i] == target && (*otherCommand)[i] == other,
              "the target is one whole argument, unchanged");
    }
    Check(differing == 1, "the target is handed over exactly once");
    return 0;
}
