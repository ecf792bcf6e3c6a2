#include "shell/linux/display_probe.h"

#include <cstddef>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "shell/linux/environment.h"

namespace velmora::linux_platform {

namespace {

bool CanConnectToUnixSocket(const std::string& path, bool abstract)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;
    if (path.size() + offset >= sizeof(address.sun_path))
        return false;
    path.copy(address.sun_path + offset, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(fd);
    return connected;
}

bool XDisplayReachable(const std::string& display)
{
    // Local displays are ":N" or ":N.S"; anything with a host part is trusted as given.
    if (display.empty() || display.front() != ':')
        return !display.empty();
    const std::string number = display.substr(1, display.find('.') == std::string::npos
                                                     ? std::string::npos
                                                     : display.find('.') - 1);
    const std::string socket = "/tmp/.X11-unix/X" + number;
    return CanConnectToUnixSocket(socket, false) || CanConnectToUnixSocket(socket, true);
}

}  // namespace

bool DisplayAvailable()
{
    if (!EnvironmentValue("QT_QPA_PLATFORM").empty())
        return true;
    const std::string wayland = EnvironmentValue("WAYLAND_DISPLAY");
    if (!wayland.empty()) {
        const std::string socket = wayland.front() == '/' ? wayland : EnvironmentValue("XDG_RUNTIME_DIR") + "/" + wayland;
        if (CanConnectToUnixSocket(socket, false))
            return true;
    }
    return XDisplayReachable(EnvironmentValue("DISPLAY"));
}

}  // namespace velmora::linux_platform
