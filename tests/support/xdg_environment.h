#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/support/process_runner.h"
#include "tests/support/temp_directory.h"

namespace velmora::testing {

// A private desktop environment: XDG data and config directories holding .desktop files, their MIME index
// (mimeinfo.cache, which GIO reads instead of the files' MimeType lines) and a mimeapps.list, so that
// default-application lookups find test programs and never the machine's.
class XdgEnvironment {
public:
    XdgEnvironment();

    // Adds an application. `exec` is the Exec line as written in the .desktop file; `mimeTypes` its MimeType
    // list ("text/plain;"); `moreKeys` further lines of the entry ("Terminal=true\n"). Returns the desktop
    // file's id.
    std::string addApplication(const std::string& id, const std::string& exec, const std::string& mimeTypes,
                               const std::string& moreKeys = {});
    // Makes an application the default for a content type in mimeapps.list.
    void setDefault(const std::string& contentType, const std::string& desktopId);
    // Writes an executable script that appends its arguments, one per line, to a record file, then stays
    // alive for `lingerSeconds` (to show that nobody waits for it).
    std::string addRecordingProgram(const std::string& name, int lingerSeconds = 0) const;
    // Installs a recording program as x-terminal-emulator, in a folder that then leads the search path of
    // variables(), so that it is the terminal found first. Returns its path.
    std::string addRecordingTerminal();
    // The recorded arguments once the record file has appeared (waits up to ten seconds); empty when not.
    std::vector<std::string> waitForRecord(const std::string& programName) const;
    // Where a recording program writes its arguments.
    std::string recordFile(const std::string& programName) const;

    EnvironmentChanges variables() const;
    // Sets the variables in this process, for in-process lookups.
    void applyToThisProcess() const;

    const TempDirectory& root() const { return root_; }

private:
    void writeMimeApps() const;
    void writeMimeInfoCache() const;

    TempDirectory root_;
    std::map<std::string, std::string> defaults_;
    std::map<std::string, std::string> handlers_;  // content type -> "a.desktop;b.desktop;"
    bool terminalInstalled_ = false;
};

}  // namespace velmora::testing
