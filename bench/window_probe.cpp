// window_probe: starts a program on the X display and watches the display server for its window.
//
//   window_probe [--settle-ms N] [--timeout-ms N] [--screenshot FILE.png] -- PROGRAM [ARGUMENT...]
//
// It asks the server for every map of a top-level window before it starts the program, so the moment the
// program's window (the one whose _NET_WM_PID is the child) is mapped arrives as an event, with no
// polling and without any hook in the program. After the window is mapped it waits --settle-ms for the
// program to paint, optionally saves the window's pixels as a PNG, then ends the program and reads its
// peak resident set size from the kernel. Prints one line:
//
//   map_ms=<milliseconds from start to map> maxrss_kb=<peak RSS of the program> window=<id> size=<w>x<h>
//
// Exit status 0 on success, 1 when the program ended or timed out before mapping a window, 2 on misuse.

#include <QImage>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int settleMs = 500;
    int timeoutMs = 20000;
    std::string screenshot;
    std::vector<char*> program;
};

std::optional<Options> ParseOptions(int argc, char** argv)
{
    Options options;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc)
            return std::nullopt;
        if (argument == "--settle-ms")
            options.settleMs = std::atoi(argv[++i]);
        else if (argument == "--timeout-ms")
            options.timeoutMs = std::atoi(argv[++i]);
        else if (argument == "--screenshot")
            options.screenshot = argv[++i];
        else
            return std::nullopt;
    }
    for (; i < argc; ++i)
        options.program.push_back(argv[i]);
    if (options.program.empty())
        return std::nullopt;
    options.program.push_back(nullptr);
    return options;
}

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::optional<pid_t> WindowPid(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t pidAtom)
{
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr),
        &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
        return std::nullopt;
    return static_cast<pid_t>(*static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())));
}

void GetSize(xcb_connection_t* connection, xcb_window_t window, int& width, int& height)
{
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr), &std::free);
    width = geometry ? geometry->width : 0;
    height = geometry ? geometry->height : 0;
}

bool SaveWindow(xcb_connection_t* connection, xcb_window_t window, const std::string& file, int width, int height)
{
    const Reply<xcb_get_image_reply_t> image(
        xcb_get_image_reply(connection,
                            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                          static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), ~0u),
                            nullptr),
        &std::free);
    if (!image)
        return false;
    const int length = xcb_get_image_data_length(image.get());
    if (image->depth != 24 || length != width * height * 4) {
        std::fprintf(stderr, "window_probe: only 24-bit displays with 32-bit pixels are supported (depth %d)\n",
                     image->depth);
        return false;
    }
    // 24-bit pixels in 32-bit words, least significant byte first: exactly QImage's RGB32 in memory.
    const QImage pixels(xcb_get_image_data(image.get()), width, height, width * 4, QImage::Format_RGB32);
    return pixels.copy().save(QString::fromLocal8Bit(file.c_str()), "PNG");
}

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: window_probe [--settle-ms N] [--timeout-ms N] [--screenshot FILE.png] -- "
                             "PROGRAM [ARGUMENT...]\n");
        return 2;
    }

    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "window_probe: cannot connect to the X display\n");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const xcb_atom_t pidAtom = InternAtom(connection, "_NET_WM_PID");

    // Every map of a top-level window is reported as a MapNotify on the root window.
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));  // round trip

    pid_t child = 0;
    const Clock::time_point start = Clock::now();
    if (const int error = posix_spawn(&child, options->program.front(), nullptr, nullptr, options->program.data(),
                                      environ)) {
        std::fprintf(stderr, "window_probe: cannot start %s: %s\n", options->program.front(), std::strerror(error));
        return 2;
    }

    std::optional<xcb_window_t> mapped;
    Clock::time_point mappedAt;
    bool childEnded = false;
    int status = 0;
    rusage usage{};
    const Clock::time_point deadline = start + std::chrono::milliseconds(options->timeoutMs);
    while (!mapped && !childEnded && Clock::now() < deadline) {
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&descriptor, 1, 20);  // the slice only bounds how late an early end of the child is noticed
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const Clock::time_point now = Clock::now();
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY && !mapped) {
                const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
                if (WindowPid(connection, map->window, pidAtom) == child) {
                    mapped = map->window;
                    mappedAt = now;
                }
            }
            std::free(event);
        }
        if (xcb_connection_has_error(connection))
            break;
        if (::wait4(child, &status, WNOHANG, &usage) == child)
            childEnded = true;
    }

    int width = 0;
    int height = 0;
    bool saved = true;
    if (mapped) {
        std::this_thread::sleep_for(std::chrono::milliseconds(options->settleMs));
        GetSize(connection, *mapped, width, height);
        if (!options->screenshot.empty())
            saved = SaveWindow(connection, *mapped, options->screenshot, width, height);
    }
    if (!childEnded) {
        ::kill(child, SIGTERM);
        while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
        }
    }
    xcb_disconnect(connection);

    if (!mapped) {
        std::fprintf(stderr, "window_probe: %s mapped no window (%s)\n", options->program.front(),
                     childEnded ? "it ended" : "timed out");
        return 1;
    }
    const double mapMs = std::chrono::duration<double, std::milli>(mappedAt - start).count();
    std::printf("map_ms=%.2f maxrss_kb=%ld window=0x%x size=%dx%d\n", mapMs, usage.ru_maxrss, *mapped, width,
                height);
    return saved ? 0 : 1;
}
