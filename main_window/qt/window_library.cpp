#include "main_window/qt/window_library.h"

#include <QApplication>
#include <memory>

#include "main_window/qt/form1.h"

namespace velmora::qt_view {

namespace {

// The window system inside the desktop library: the Qt window and the application's event loop. It knows
// nothing of what the window's events do.
class QtWindowSystem final : public WindowSystem {
public:
    std::unique_ptr<Form1Window> createMainWindow(Form1Events& events) override
    {
        return std::make_unique<Form1>(events);
    }
    std::string unavailableReason() override { return {}; }
    int runEventLoop() override { return QApplication::exec(); }
};

}  // namespace

}  // namespace velmora::qt_view

extern "C" __attribute__((visibility("default"))) velmora::WindowSystem* velmora_open_window_system()
{
    return new velmora::qt_view::QtWindowSystem();
}
