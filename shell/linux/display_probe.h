#pragma once

namespace velmora::linux_platform {

// Whether the toolkit will be able to open a display, decided by actually connecting to it before the
// toolkit is loaded (which aborts the program where it cannot): an X display through libxcb (which reads
// DISPLAY and the X authority as the toolkit will), a Wayland socket that accepts a connection, or a
// QT_QPA_PLATFORM set by the user to a platform that needs no display server. A display that does not
// answer within a few seconds counts as none. Never initialises a toolkit.
bool DisplayAvailable();

// Rings the bell of the X display that DISPLAY names (also an XWayland one) through libxcb, at the base
// volume, and returns once the server has taken it; false where there is no X display to ring. Loads no
// toolkit.
bool RingXBell();

}  // namespace velmora::linux_platform
