#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>

struct xcb_connection_t;

namespace velmora::testing {

// A private Xvfb server for one test, ended when it goes. It does not reset when its last client leaves, as
// a desktop session with its window manager never does.
class VirtualXServer {
public:
    VirtualXServer();
    ~VirtualXServer();
    VirtualXServer(const VirtualXServer&) = delete;
    VirtualXServer& operator=(const VirtualXServer&) = delete;

    // The display name for DISPLAY, such as ":12".
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = 0;
    std::string display_;
};

// A client of an X server that hears every bell rung on it (the keyboard extension's bell notices),
// from whichever client rings it. Rings nothing itself.
class XBellListener {
public:
    explicit XBellListener(const std::string& display);
    ~XBellListener();
    XBellListener(const XBellListener&) = delete;
    XBellListener& operator=(const XBellListener&) = delete;

    // Whether a bell rings within the time given (bells heard before count once each).
    bool heardBell(std::chrono::milliseconds within);

private:
    xcb_connection_t* connection_ = nullptr;
    int firstEvent_ = 0;
};

}  // namespace velmora::testing
