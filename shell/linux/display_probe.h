#pragma once

namespace velmora::linux_platform {

// Whether a display can be opened: QT_QPA_PLATFORM set by the user, a Wayland socket, or an X display that
// accepts a connection. Never initialises a toolkit.
bool DisplayAvailable();

}  // namespace velmora::linux_platform
