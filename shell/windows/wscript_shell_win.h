#pragma once

#include <memory>
#include <string>

#include "shell/platform.h"
#include "shell/windows/scoped_resources_win.h"

struct IDispatch;

namespace velmora::windows_platform {

// The shell automation object "WScript.Shell", driven by member names at run time (IDispatch), the way a
// script drives it: the special folders by name, and shortcut objects that write Shell Link files. Texts
// cross to the object in the ANSI code page. It holds the object and nothing else; COM must be initialised
// on the calling thread.
class WScriptShell {
public:
    // The shell object, or null when the system has none (no Windows Script Host).
    static std::unique_ptr<WScriptShell> Create();
    ~WScriptShell();
    WScriptShell(const WScriptShell&) = delete;
    WScriptShell& operator=(const WScriptShell&) = delete;

    // SpecialFolders(name): the folder's path, empty text for a name the shell does not know.
    std::string specialFolder(const std::string& name);
    // CreateShortcut(path): the shortcut object, whose setters assign its properties at once.
    std::unique_ptr<ShellShortcut> createShortcut(const std::string& path);

private:
    explicit WScriptShell(ScopedComPtr<IDispatch> shell);
    ScopedComPtr<IDispatch> shell_;
};

}  // namespace velmora::windows_platform
