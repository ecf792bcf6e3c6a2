// The desktop library's platform part: opens the Qt application on demand and serves dialogs, the bell and
// the desktop folder to the Linux platform. The window part (main_window/qt/window_library.cpp) lives in the
// same library and uses the application opened here.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "shell/linux/desktop_services.h"
#include "shell/linux/qt/font_substitutes.h"
#include "shell/linux/qt/qt_dialogs.h"
#include "shell/platform.h"

namespace velmora::linux_platform {

namespace {

// Owns the Qt application for the rest of the run. Holds no program logic.
class QtDesktopServices final : public DesktopServices {
public:
    QtDesktopServices(int& argc, char** argv)
        : application_(argc, argv)
    {
        QApplication::setApplicationName(QString::fromLatin1(kProgramTitle));
        QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));
        InstallFontSubstitutes();
    }

    int messageBox(const std::string& prompt, int style, const std::string& title) override
    {
        return ShowMessageBox(prompt, style, title);
    }

    std::string inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) override
    {
        return ShowInputBox(prompt, title, defaultText);
    }

    void beep() override { QApplication::beep(); }

    std::string desktopFolder() override
    {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QDir().mkpath(folder);  // a failure shows when the shortcut is saved, with the system's reason
        return QFile::encodeName(folder).toStdString();
    }

private:
    QApplication application_;
};

}  // namespace

}  // namespace velmora::linux_platform

extern "C" __attribute__((visibility("default"))) velmora::linux_platform::DesktopServices*
velmora_open_desktop_services(int* argc, char** argv)
{
    return new velmora::linux_platform::QtDesktopServices(*argc, argv);
}
