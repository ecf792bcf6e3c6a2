#include "shell/linux/display_probe.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "shell/linux/environment.h"

namespace velmora::linux_platform {

namespace {

constexpr int kConnectTimeoutMs = 3000;
constexpr int kFirstXPort = 6000;

bool CanConnectToUnixSocket(const std::string& path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path))
        return false;
    path.copy(address.sun_path, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size());
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(fd);
    return connected;
}

// Whether a TCP port on a host accepts a connection within the time-out; a host that does not answer must
// not hold the program up for the minutes a blocking connect would wait.
bool CanConnectToTcpPort(const std::string& host, int port)
{
    addrinfo hints {};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* addresses = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses) != 0)
        return false;
    bool connected = false;
    for (const addrinfo* address = addresses; address && !connected; address = address->ai_next) {
        const int fd = ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                                address->ai_protocol);
        if (fd < 0)
            continue;
        if (::connect(fd, address->ai_addr, address->ai_addrlen) == 0) {
            connected = true;
        } else if (errno == EINPROGRESS) {
            pollfd waiting{fd, POLLOUT, 0};
            int error = 0;
            socklen_t size = sizeof(error);
            connected = ::poll(&waiting, 1, kConnectTimeoutMs) == 1 &&
                        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
        }
        ::close(fd);
    }
    ::freeaddrinfo(addresses);
    return connected;
}

// A display given as host:N[.S] (also "tcp/host:N") is reached over TCP; one with no host, or the host
// "unix", over the local socket, which libxcb connects to at once.
bool TcpPartAnswers(const std::string& display)
{
    std::string rest = display;
    if (const auto slash = rest.find('/'); slash != std::string::npos)
        rest = rest.substr(slash + 1);
    const auto colon = rest.rfind(':');
    if (colon == std::string::npos)
        return false;
    const std::string host = rest.substr(0, colon);
    if (host.empty() || host == "unix")
        return true;
    const int number = std::atoi(rest.c_str() + colon + 1);
    return CanConnectToTcpPort(host, kFirstXPort + number);
}

// Opens and closes an X connection with the system's libxcb, loaded only for the question: the window-less
// switch never needs it.
bool XDisplayAnswers(const std::string& display)
{
    if (display.empty() || !TcpPartAnswers(display))
        return false;
    void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!xcb)
        return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
    if (!connect || !hasError || !disconnect)
        return false;  // the library stays loaded: the toolkit loads it again anyway
    void* connection = connect(display.c_str(), nullptr);
    const bool usable = connection && hasError(connection) == 0;
    if (connection)
        disconnect(connection);
    return usable;
}

bool WaylandDisplayAnswers()
{
    const std::string wayland = EnvironmentValue("WAYLAND_DISPLAY");
    if (wayland.empty())
        return false;
    return CanConnectToUnixSocket(wayland.front() == '/' ? wayland : EnvironmentValue("XDG_RUNTIME_DIR") + "/" + wayland);
}

}  // namespace

bool DisplayAvailable()
{
    const std::string platform = EnvironmentValue("QT_QPA_PLATFORM");
    if (platform.rfind("xcb", 0) == 0)
        return XDisplayAnswers(EnvironmentValue("DISPLAY"));
    if (platform.rfind("wayland", 0) == 0)
        return WaylandDisplayAnswers();
    if (!platform.empty())
        return true;  // offscreen, vnc, eglfs ...: no display server to ask
    return WaylandDisplayAnswers() || XDisplayAnswers(EnvironmentValue("DISPLAY"));
}

}  // namespace velmora::linux_platform
