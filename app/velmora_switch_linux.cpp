// velmora-switch: the privileged helper that pkexec starts for a user who may not write /etc/hosts. Its whole
// command line is `switch NAME` or `backup`; the hosts directory is compiled in, never taken from outside.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "hosts_store/switch_helper.h"
#include "shell/linux/drive_mapping.h"
#include "shell/linux/linux_platform.h"

namespace {

velmora::linux_platform::DriveMapping HelperDrive()
{
    using velmora::linux_platform::DriveMapping;
#ifdef VELMORA_SWITCH_SANDBOX_DRIVE
    // A test build only: a sandbox drive fixed when the helper was built.
    return DriveMapping(DriveMapping::Roots{VELMORA_SWITCH_SANDBOX_DRIVE, std::nullopt});
#else
    // Every path the helper builds lies in the hosts directory; the rest of the drive is never reached.
    return DriveMapping(DriveMapping::Roots{"/nonexistent", std::string("/etc")});
#endif
}

}  // namespace

int main(int argc, char** argv)
{
    // Nothing of the caller's environment is read, not even by the C library, and nothing is relative to the
    // caller's working directory; new files are readable by all, as /etc/hosts is.
    ::clearenv();
    ::umask(022);
    if (::chdir("/") != 0)
        return static_cast<int>(velmora::ExitCode::RuntimeError);
    // pkexec starts it with real and effective user root; so does root. Anyone else is refused.
    if (::getuid() != 0 || ::geteuid() != 0) {
        std::fputs("velmora-switch: only pkexec or root may start this program\n", stderr);
        return static_cast<int>(velmora::ExitCode::NeedsAdministratorRights);
    }

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    velmora::linux_platform::LinuxPlatform platform(argc, argv, HelperDrive());
    std::string report;
    const velmora::ExitCode code = velmora::RunSwitchHelper(platform, arguments, report);
    if (!report.empty())
        std::fprintf(stderr, "velmora-switch: %s\n", report.c_str());
    return static_cast<int>(code);
}
