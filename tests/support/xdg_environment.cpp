#include "tests/support/xdg_environment.h"

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <filesystem>
#include <sys/stat.h>

namespace velmora::testing {

XdgEnvironment::XdgEnvironment()
{
    std::filesystem::create_directories(root_ / "data/applications");
    std::filesystem::create_directories(root_ / "config");
    std::filesystem::create_directories(root_ / "bin");
    std::filesystem::create_directories(root_ / "records");
    // The machine's MIME database, but none of its applications.
    std::filesystem::create_directories(root_ / "system");
    std::filesystem::create_directory_symlink("/usr/share/mime", root_ / "system/mime");
    writeMimeApps();
}

std::string XdgEnvironment::addApplication(const std::string& id, const std::string& exec, const std::string& mimeTypes,
                                           const std::string& moreKeys)
{
    const std::string desktopId = id + ".desktop";
    WriteFile(root_ / ("data/applications/" + desktopId), "[Desktop Entry]\nType=Application\nName=" + id +
                                                              "\nExec=" + exec + "\nMimeType=" + mimeTypes + "\n" +
                                                              moreKeys);
    for (std::size_t start = 0; start < mimeTypes.size();) {
        const std::size_t end = mimeTypes.find(';', start);
        const std::string type = mimeTypes.substr(start, end - start);
        if (!type.empty())
            handlers_[type] += desktopId + ";";
        start = end == std::string::npos ? mimeTypes.size() : end + 1;
    }
    writeMimeInfoCache();
    return desktopId;
}

void XdgEnvironment::setDefault(const std::string& contentType, const std::string& desktopId)
{
    defaults_[contentType] = desktopId;
    writeMimeApps();
}

void XdgEnvironment::writeMimeApps() const
{
    std::string text = "[Default Applications]\n";
    for (const auto& [type, id] : defaults_)
        text += type + "=" + id + "\n";
    WriteFile(root_ / "config/mimeapps.list", text);
}

void XdgEnvironment::writeMimeInfoCache() const
{
    std::string text = "[MIME Cache]\n";
    for (const auto& [type, ids] : handlers_)
        text += type + "=" + ids + "\n";
    WriteFile(root_ / "data/applications/mimeinfo.cache", text);
}

std::string XdgEnvironment::addRecordingProgram(const std::string& name, int lingerSeconds) const
{
    const std::string path = root_ / ("bin/" + name);
    // Written to a temporary name and renamed, so a reader never sees half a record.
    const std::string record = recordFile(name);
    WriteFile(path, "#!/bin/sh\nfor argument in \"$@\"; do printf '%s\\n' \"$argument\"; done > '" + record +
                        ".part'\nmv '" + record + ".part' '" + record + "'\n" +
                        (lingerSeconds > 0 ? "exec sleep " + std::to_string(lingerSeconds) + " >/dev/null 2>&1\n" : ""));
    ::chmod(path.c_str(), 0755);
    return path;
}

std::string XdgEnvironment::addRecordingTerminal()
{
    std::filesystem::create_directories(root_ / "terminal-bin");
    const std::string recorder = addRecordingProgram("x-terminal-emulator");
    const std::string path = root_ / "terminal-bin/x-terminal-emulator";
    std::filesystem::create_symlink(recorder, path);
    terminalInstalled_ = true;
    return path;
}

std::vector<std::string> XdgEnvironment::waitForRecord(const std::string& programName) const
{
    const std::string record = recordFile(programName);
    for (int attempt = 0; attempt < 1000 && !std::filesystem::exists(record); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::vector<std::string> arguments;
    if (!std::filesystem::exists(record))
        return arguments;
    std::istringstream lines(ReadFile(record));
    for (std::string line; std::getline(lines, line);)
        arguments.push_back(line);
    return arguments;
}

std::string XdgEnvironment::recordFile(const std::string& programName) const
{
    return root_ / ("records/" + programName);
}

EnvironmentChanges XdgEnvironment::variables() const
{
    EnvironmentChanges changes{{"XDG_DATA_HOME", root_ / "data"},
                               {"XDG_CONFIG_HOME", root_ / "config"},
                               {"XDG_DATA_DIRS", root_ / "data" + ":" + root_ / "system"},
                               {"XDG_CONFIG_DIRS", root_ / "config"},
                               {"XDG_CURRENT_DESKTOP", std::string("X-Velmora-Test")}};
    if (terminalInstalled_) {
        // The terminal's folder leads, once however often this is applied; the machine's terminals follow.
        const std::string lead = root_ / "terminal-bin" + ":";
        const std::string path = ::getenv("PATH") ? ::getenv("PATH") : "/usr/bin:/bin";
        changes["PATH"] = path.rfind(lead, 0) == 0 ? path : lead + path;
    }
    return changes;
}

void XdgEnvironment::applyToThisProcess() const
{
    for (const auto& [name, value] : variables()) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
}

}  // namespace velmora::testing
