#include "shell/run_file.h"

#include <optional>

#include "shell/dialogs.h"
#include "shell/platform.h"
#include "shell/runtime_error.h"

namespace velmora {

namespace {

// The probe that asks which program opens web pages; always on drive C:, whatever the program's drive.
constexpr char kBrowserProbeDrive[] = "C:";
constexpr char kBrowserProbeName[] = "\\DelMEX00001.html";
// The probes on the program's drive: for a name that exists nowhere, and for its bare extension.
constexpr char kNameProbeStem[] = ":\\zzzzzzzTemp_";
constexpr char kExtensionProbeStem[] = ":\\RunFileTmp";

constexpr char kInvalidCharactersPrompt[] = "Enthält ungültige Zeichen Abbrechen?";

// What the probes hold: an empty line, a line of two blanks, a line of one blank.
constexpr char kBrowserProbeContent[] = "\r\n";
constexpr char kNameProbeContent[] = "  \r\n";
constexpr char kExtensionProbeContent[] = " \r\n";

constexpr char kBackslash[] = "\\";
constexpr char kSlash[] = "/";

// Runs one step of a routine that goes on after a failure: a platform call that fails ends only this step.
template <typename Step>
void Attempt(Step&& step)
{
    try {
        step();
    } catch (const RuntimeError&) {
    }
}

// A path on the drive the program's executable lies on, read afresh each time. Where that folder has no
// drive letter (a network folder, or a native folder on Linux) there is no such path: the operation fails.
std::string OnProgramDrive(Platform& platform, const std::string& stem, const std::string& tail)
{
    const std::string folder = platform.programFolder();
    const char drive = folder.empty() ? '\0' : folder.front();
    const bool isLetter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    if (!isLetter)
        throw RuntimeError(RuntimeErrorNumber::BadFileNameOrNumber, folder, "the program's folder has no drive letter");
    return std::string(1, drive) + stem + tail;
}

// Whether the directory listing finds an ordinary file at the path (wildcards match as patterns).
bool Listed(Platform& platform, const std::string& path)
{
    return !platform.findFiles(path).empty();
}

// Asks the association lookup about a probe on the program's drive: makes the probe unless a file of that
// name is there already, looks it up, and deletes it only when it was made here. Each of the three is a
// step of its own. Leaves `found` as it was when the lookup fails.
void LookUpThroughProbe(Platform& platform, const std::string& stem, const std::string& tail,
                        const std::string& content, std::string& found)
{
    bool made = false;
    Attempt([&] { made = platform.createTextFileIfAbsent(OnProgramDrive(platform, stem, tail), content); });
    Attempt([&] { found = FindExecutableFor(platform, OnProgramDrive(platform, stem, tail)); });
    if (made)
        Attempt([&] { platform.deleteFile(OnProgramDrive(platform, stem, tail)); });
}

// The extension the last probe asks about: from the last dot on for a name of four characters or more with
// a dot in it, else the whole name without its outer blanks.
std::string ExtensionOf(const std::string& name)
{
    const auto dot = name.find_last_of('.');
    if (name.size() >= 4 && dot != std::string::npos)
        return name.substr(dot);
    const auto first = name.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string FindExecutableFor(Platform& platform, const std::string& fileName)
{
    // The answer is whatever precedes the first NUL; it is taken whole however long it is.
    const std::string answer = platform.findExecutable(fileName);
    return answer.substr(0, answer.find('\0'));
}

std::string ResolveAssociatedProgram(Platform& platform, std::string path)
{
    const std::string entryPath = path;
    // Set only when the file at the entry path did not exist and was made here, for the lookup.
    bool entryFileMadeHere = false;
    bool entryListed = false;  // a listing that fails finds nothing
    Attempt([&] { entryListed = Listed(platform, path); });
    if (!entryListed)
        Attempt([&] { entryFileMadeHere = platform.createTextFileIfAbsent(path, ""); });
    const auto removeEntryFileMadeHere = [&] {
        if (entryFileMadeHere)
            Attempt([&] { platform.deleteFile(entryPath); });
    };

    const std::string separator = path.find(kSlash) != std::string::npos ? kSlash : kBackslash;
    std::string savedDirectory;
    Attempt([&] { savedDirectory = platform.currentDirectory(); });

    // Only the last separator counts; without one the name is looked for at the root of the current drive.
    std::string prefix = separator;
    const auto lastSeparator = path.rfind(separator);
    if (lastSeparator != std::string::npos) {
        prefix = path.substr(0, lastSeparator + 1);
        path = path.substr(lastSeparator + 1);
    }

    if (!path.empty() && path.front() == '*')
        path.erase(0, 1);
    if (path.find('*') != std::string::npos) {
        int answer = 0;
        Attempt([&] {
            answer = ShowMessage(platform, path + kInvalidCharactersPrompt, message_style::kYesNo, std::nullopt);
        });
        if (answer == message_answer::kYes) {
            removeEntryFileMadeHere();
            return {};
        }
    }

    std::string found;
    bool listed = false;
    Attempt([&] { listed = Listed(platform, prefix + path); });
    if (listed)
        Attempt([&] { found = FindExecutableFor(platform, prefix + path); });
    else
        LookUpThroughProbe(platform, kNameProbeStem, path, kNameProbeContent, found);

    if (found.empty())
        LookUpThroughProbe(platform, kExtensionProbeStem, ExtensionOf(path), kExtensionProbeContent, found);

    // The program's folder is current for a moment; on another drive it stays that drive's directory.
    const auto programSeparator = found.rfind(separator);
    if (programSeparator != std::string::npos) {
        Attempt([&] { platform.changeDrive(found.substr(0, 1)); });
        Attempt([&] { platform.changeDirectory(found.substr(0, programSeparator)); });
    }
    const std::string result = found;

    Attempt([&] { platform.changeDirectory(savedDirectory); });
    Attempt([&] { platform.changeDrive(savedDirectory.substr(0, 1)); });
    removeEntryFileMadeHere();
    return result;
}

std::optional<double> OpenWithDefaultBrowser(Platform& platform, const std::string& url, int windowStyle)
{
    const std::string probe = std::string(kBrowserProbeDrive) + kBrowserProbeName;
    bool probeMadeHere = false;
    Attempt([&] { probeMadeHere = platform.createTextFileIfAbsent(probe, kBrowserProbeContent); });

    std::string programPath;
    Attempt([&] { programPath = ResolveAssociatedProgram(platform, probe); });
    if (probeMadeHere)
        Attempt([&] { platform.deleteFile(probe); });

    // The program path goes unquoted, as the association names it; the URL follows unchanged.
    std::optional<double> taskId;
    Attempt([&] { taskId = platform.startProcess(programPath + " " + url, windowStyle); });
    return taskId;
}

}  // namespace velmora
