#include "tests/support/virtual_x_server.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
// xkb.h names a field `explicit`, a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

extern char** environ;

namespace velmora::testing {

namespace {

constexpr int kDisplayFd = 3;
constexpr int kStartTimeoutMs = 10000;

}  // namespace

VirtualXServer::VirtualXServer()
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], kDisplayFd);
    char* argv[] = {const_cast<char*>("Xvfb"), const_cast<char*>("-displayfd"), const_cast<char*>("3"),
                    const_cast<char*>("-nolisten"), const_cast<char*>("tcp"), const_cast<char*>("-noreset"),
                    const_cast<char*>("-screen"), const_cast<char*>("0"), const_cast<char*>("640x480x24"), nullptr};
    const int error = ::posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (error != 0) {
        ::close(pipeEnds[0]);
        throw std::runtime_error("cannot start Xvfb (package xvfb)");
    }
    // Xvfb writes its display number once it accepts clients.
    std::string number;
    pollfd waiting{pipeEnds[0], POLLIN, 0};
    char c = 0;
    while (::poll(&waiting, 1, kStartTimeoutMs) == 1 && ::read(pipeEnds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(pipeEnds[0]);
    if (number.empty() || c != '\n') {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        throw std::runtime_error("Xvfb did not say its display");
    }
    display_ = ":" + number;
}

VirtualXServer::~VirtualXServer()
{
    ::kill(pid_, SIGTERM);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
}

XBellListener::XBellListener(const std::string& display)
    : connection_(xcb_connect(display.c_str(), nullptr))
{
    if (xcb_connection_has_error(connection_))
        throw std::runtime_error("cannot connect to " + display);
    xcb_xkb_use_extension_reply_t* use =
        xcb_xkb_use_extension_reply(connection_, xcb_xkb_use_extension(connection_, 1, 0), nullptr);
    const bool supported = use && use->supported;
    std::free(use);
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection_, &xcb_xkb_id);
    if (!supported || !extension || !extension->present)
        throw std::runtime_error("the X server has no keyboard extension");
    firstEvent_ = extension->first_event;
    xcb_void_cookie_t selected = xcb_xkb_select_events_checked(
        connection_, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_EVENT_TYPE_BELL_NOTIFY, 0, XCB_XKB_EVENT_TYPE_BELL_NOTIFY, 0,
        0, nullptr);
    if (xcb_generic_error_t* failure = xcb_request_check(connection_, selected)) {
        std::free(failure);
        throw std::runtime_error("cannot listen for bells");
    }
}

XBellListener::~XBellListener()
{
    xcb_disconnect(connection_);
}

bool XBellListener::heardBell(std::chrono::milliseconds within)
{
    const auto deadline = std::chrono::steady_clock::now() + within;
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            // Every keyboard-extension event has the same number; its kind is in the byte after it.
            const bool bell = (event->response_type & 0x7f) == firstEvent_ &&
                              reinterpret_cast<const xcb_xkb_bell_notify_event_t*>(event)->xkbType ==
                                  XCB_XKB_BELL_NOTIFY;
            std::free(event);
            if (bell)
                return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || xcb_connection_has_error(connection_))
            return false;
        pollfd waiting{xcb_get_file_descriptor(connection_), POLLIN, 0};
        ::poll(&waiting, 1, static_cast<int>(left.count()));
    }
}

}  // namespace velmora::testing
