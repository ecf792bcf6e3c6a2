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

// The few libxcb calls the program makes itself, from the system's libxcb loaded on first use: a window-less
// switch without a display never maps it. The library stays loaded (the toolkit loads it again anyway).
struct XcbCalls {
    struct GenericCookie {
        unsigned int sequence;
    };
    void* (*connect)(const char*, int*) = nullptr;
    int (*hasError)(void*) = nullptr;
    void (*disconnect)(void*) = nullptr;
    GenericCookie (*bell)(void*, signed char) = nullptr;
    GenericCookie (*getInputFocus)(void*) = nullptr;
    void* (*getInputFocusReply)(void*, GenericCookie, void**) = nullptr;

    static const XcbCalls* Load()
    {
        static const XcbCalls calls = [] {
            XcbCalls loaded;
            void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
            if (!xcb)
                return loaded;
            loaded.connect = reinterpret_cast<decltype(connect)>(::dlsym(xcb, "xcb_connect"));
            loaded.hasError = reinterpret_cast<decltype(hasError)>(::dlsym(xcb, "xcb_connection_has_error"));
            loaded.disconnect = reinterpret_cast<decltype(disconnect)>(::dlsym(xcb, "xcb_disconnect"));
            loaded.bell = reinterpret_cast<decltype(bell)>(::dlsym(xcb, "xcb_bell"));
            loaded.getInputFocus = reinterpret_cast<decltype(getInputFocus)>(::dlsym(xcb, "xcb_get_input_focus"));
            loaded.getInputFocusReply =
                reinterpret_cast<decltype(getInputFocusReply)>(::dlsym(xcb, "xcb_get_input_focus_reply"));
            return loaded;
        }();
        const bool complete = calls.connect && calls.hasError && calls.disconnect && calls.bell &&
                              calls.getInputFocus && calls.getInputFocusReply;
        return complete ? &calls : nullptr;
    }
};

// An open X connection of its own, closed when it goes; null where the display cannot be reached. Shares
// nothing with the toolkit's connection.
class XConnection {
public:
    explicit XConnection(const std::string& display)
    {
        if (display.empty() || !TcpPartAnswers(display) || !(calls_ = XcbCalls::Load()))
            return;
        connection_ = calls_->connect(display.c_str(), nullptr);
        if (connection_ && calls_->hasError(connection_) != 0) {
            calls_->disconnect(connection_);
            connection_ = nullptr;
        }
    }
    ~XConnection()
    {
        if (connection_)
            calls_->disconnect(connection_);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    explicit operator bool() const { return connection_ != nullptr; }

    // Rings at the base volume, as the toolkit's beep does, and waits for the answer to a request sent after
    // it: a server that sees the connection close may drop what it has not read yet, and the program ends
    // right after the beep.
    bool ringBell()
    {
        calls_->bell(connection_, 0);
        void* reply = calls_->getInputFocusReply(connection_, calls_->getInputFocus(connection_), nullptr);
        std::free(reply);
        return reply != nullptr;
    }

private:
    const XcbCalls* calls_ = nullptr;
    void* connection_ = nullptr;
};

bool XDisplayAnswers(const std::string& display)
{
    return static_cast<bool>(XConnection(display));
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

bool RingXBell()
{
    XConnection connection(EnvironmentValue("DISPLAY"));
    return connection && connection.ringBell();
}

}  // namespace velmora::linux_platform
