// The name checks of Create New and of the command line (and so of the desktop shortcut and the helper).
// A name the command line accepts names one file inside the hosts directory; a name Create New accepts is
// also one the command line and a shortcut lead back to, no wildcard, no system file, not `hosts` itself.
#include <cstdint>
#include <string>

#include "hosts_store/hosts_store.h"
#include "hosts_store/startup.h"
#include "main_window/shortcut_command.h"
#include "main_window/variant_file_commands.h"
#include "shell/paths.h"
#include "shell/string_ops.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using velmora::fuzz::Check;

bool IsControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// What the command line must refuse: anything that is no name, a wildcard `*`, a way out of the directory.
bool ReferenceSwitchArgument(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (const char c : name)
        if (c == '*' || c == '\\' || c == '/' || c == ':' || IsControl(c))
            return false;
    return true;
}

void CheckSwitchArgument(const std::string& name)
{
    const bool accepted = velmora::IsValidSwitchArgument(name);
    Check(accepted == ReferenceSwitchArgument(name), "the command line's check agrees with the reference");
    if (!accepted)
        return;
    for (const std::string hostsDir : {"C:\\Windows\\System32\\drivers\\etc\\", "/etc/"}) {
        const std::string path = hostsDir + velmora::kVariantPrefix + name;
        Check(velmora::DirectoryPartOf(path) == hostsDir, "an accepted name stays in the hosts directory");
        Check(velmora::LastPartOf(path) == velmora::kVariantPrefix + name, "an accepted name is one file name");
    }
}

void CheckNewVariantName(const std::string& typed)
{
    const std::string name = velmora::TrimBlanks(typed);
    if (!velmora::ProblemWithNewVariantName(name).empty())
        return;
    const std::string entry = velmora::kVariantPrefix + name;
    Check(velmora::IsValidSwitchArgument(name), "a new variant's name is one the command line takes");
    Check(name.find_first_of("*?\"<>|") == std::string::npos, "a new variant's name holds no wildcard");
    Check(name.back() != '.' && name.back() != ' ', "a new variant's name does not end in a dot or blank");
    Check(!velmora::IsSystemFileName(entry), "a new variant is never a system file");
    Check(velmora::LowerCaseAscii(entry) != velmora::kActiveHostsName, "a new variant is never `hosts` itself");
    Check(!velmora::ShortcutRefusal(entry), "a new variant's shortcut leads back to it");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string name(reinterpret_cast<const char*>(data), size);
    CheckSwitchArgument(name);
    CheckNewVariantName(name);
    return 0;
}
