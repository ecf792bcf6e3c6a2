#include "shell/linux/linux_platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "shell/linux/application_lookup.h"
#include "shell/linux/desktop_entry_exec.h"
#include "shell/linux/desktop_services.h"
#include "shell/linux/directory_search.h"
#include "shell/linux/errno_mapping.h"
#include "shell/linux/file_names.h"
#include "shell/linux/linux_shortcut.h"
#include "shell/linux/posix_files.h"
#include "shell/linux/process_start.h"
#include "shell/paths.h"
#include "shell/runtime_error.h"

namespace velmora::linux_platform {

namespace {

// The program's own libraries lie in ../lib/velmora beside the executable, in the build tree as installed.
constexpr char kOwnLibraryDirectory[] = "/../lib/velmora/";
constexpr char kDesktopLibrary[] = "velmora-desktop.so";
constexpr char kApplicationLookupLibrary[] = "velmora-applications.so";
char kFallbackProgramName[] = "velmora";

std::string EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool CanConnectToUnixSocket(const std::string& path, bool abstract)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;
    if (path.size() + offset >= sizeof(address.sun_path))
        return false;
    path.copy(address.sun_path + offset, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(fd);
    return connected;
}

bool XDisplayReachable(const std::string& display)
{
    // Local displays are ":N" or ":N.S"; anything with a host part is trusted as given.
    if (display.empty() || display.front() != ':')
        return !display.empty();
    const std::string number = display.substr(1, display.find('.') == std::string::npos
                                                     ? std::string::npos
                                                     : display.find('.') - 1);
    const std::string socket = "/tmp/.X11-unix/X" + number;
    return CanConnectToUnixSocket(socket, false) || CanConnectToUnixSocket(socket, true);
}

std::string PromptForTerminal(std::string text)
{
    for (char& c : text)
        if (c == kCR)
            c = '\n';
    return text;
}

std::string DirectoryPart(const std::string& path)
{
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string LastPart(const std::string& path)
{
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// The full path of a program found on PATH, or empty text.
std::string FindOnSearchPath(const std::string& program)
{
    const std::string path = EnvironmentValue("PATH");
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        const std::string directory = end > start ? path.substr(start, end - start) : ".";
        const std::string candidate = directory + "/" + program;
        struct stat status {};
        if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

// A shortcut file's path under a native folder. The logic joins a special folder and the file name with a
// backslash; after a native folder (one beginning with "/") that last backslash is the separator it added.
std::string NativeShortcutPathOf(const std::string& path)
{
    const auto backslash = path.find_last_of('\\');
    const auto slash = path.find_last_of('/');
    if (backslash == std::string::npos || backslash < slash)
        return path;
    return path.substr(0, backslash) + "/" + path.substr(backslash + 1);
}


}  // namespace

bool DisplayAvailable()
{
    if (!EnvironmentValue("QT_QPA_PLATFORM").empty())
        return true;
    const std::string wayland = EnvironmentValue("WAYLAND_DISPLAY");
    if (!wayland.empty()) {
        const std::string socket = wayland.front() == '/' ? wayland : EnvironmentValue("XDG_RUNTIME_DIR") + "/" + wayland;
        if (CanConnectToUnixSocket(socket, false))
            return true;
    }
    return XDisplayReachable(EnvironmentValue("DISPLAY"));
}

std::string ExecutablePath()
{
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0)
        return {};
    path.resize(static_cast<std::size_t>(length));
    return path;
}

LinuxPlatform::LinuxPlatform(int& argc, char** argv, DriveMapping drives)
    : argc_(argc)
    , argv_(argv)
    , toolkitArgv_{argc > 0 && argv[0] ? argv[0] : kFallbackProgramName, nullptr}
    , drives_(std::move(drives))
{
}

LinuxPlatform::~LinuxPlatform()
{
    // The libraries' objects go first; the libraries themselves stay loaded until the process ends.
    desktop_.reset();
    applications_.reset();
}

DesktopServices* LinuxPlatform::desktop()
{
    if (desktopTried_)
        return desktop_.get();
    desktopTried_ = true;
    if (!DisplayAvailable()) {
        desktopError_ = "no display can be opened (DISPLAY and WAYLAND_DISPLAY name no running server)";
        return nullptr;
    }
    using Open = DesktopServices* (*)(int*, char**);
    const auto open = reinterpret_cast<Open>(openOwnLibrary(kDesktopLibrary, kOpenDesktopServicesSymbol, desktopError_));
    if (!open)
        return nullptr;
    // The toolkit sees the program's name only: a variant name such as "-reverse" or "-platform x" is the
    // user's text, never an option of the toolkit's.
    desktop_.reset(open(&toolkitArgc_, toolkitArgv_.data()));
    if (!desktop_)
        desktopError_ = "the desktop session could not be opened";
    return desktop_.get();
}

void* LinuxPlatform::openOwnLibrary(const char* fileName, const char* symbol, std::string& error)
{
    const std::string library = programFolder() + kOwnLibraryDirectory + fileName;
    // Never unloaded: objects made by the library live until the program ends.
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        error = std::string("cannot load ") + fileName + ": " + ::dlerror();
        return nullptr;
    }
    void* entry = ::dlsym(handle, symbol);
    if (!entry)
        error = std::string(fileName) + " is incomplete: " + ::dlerror();
    return entry;
}

ApplicationLookup& LinuxPlatform::applications()
{
    if (!applications_) {
        std::string error;
        using Open = ApplicationLookup* (*)();
        const auto open = reinterpret_cast<Open>(openOwnLibrary(kApplicationLookupLibrary, kOpenApplicationLookupSymbol, error));
        if (!open)
            throw RuntimeError(RuntimeErrorNumber::FileNotFound, "", "the default applications: " + error);
        applications_.reset(open());
    }
    return *applications_;
}

int LinuxPlatform::messageBox(const std::string& prompt, int style, const std::optional<std::string>& title,
                              ExitCode exitWithoutDisplay)
{
    const std::string shownTitle = title.value_or(kProgramTitle);
    if (DesktopServices* services = desktop())
        return services->messageBox(prompt, style, shownTitle);
    std::fprintf(stderr, "%s: %s\n", shownTitle.c_str(), PromptForTerminal(prompt).c_str());
    endProgram(exitWithoutDisplay);
}

std::string LinuxPlatform::inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText)
{
    if (DesktopServices* services = desktop())
        return services->inputBox(prompt, title, defaultText);
    std::fprintf(stderr, "%s: %s\n", title.c_str(), PromptForTerminal(prompt).c_str());
    endProgram(ExitCode::NoDisplay);
}

std::string LinuxPlatform::commandLine()
{
    std::string line;
    for (int i = 1; i < argc_; ++i) {
        if (i > 1)
            line += ' ';
        line += argv_[i];
    }
    return line;
}

std::string LinuxPlatform::programFolder()
{
    const std::string executable = ExecutablePath();
    const auto slash = executable.find_last_of('/');
    return slash == std::string::npos ? std::string() : (slash == 0 ? "/" : executable.substr(0, slash));
}

std::string LinuxPlatform::programFileTitle()
{
    const std::string name = LastPart(ExecutablePath());
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

void LinuxPlatform::beep()
{
    // Without a window the terminal's bell is the quickest way to the user; started from the desktop there
    // is no terminal, and the display's bell takes its place.
    if (!desktop_) {
        const int terminal = ::open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (terminal >= 0) {
            [[maybe_unused]] const ssize_t ignored = ::write(terminal, "\a", 1);
            ::close(terminal);
            return;
        }
    }
    if (DesktopServices* services = desktop())
        services->beep();
}

void LinuxPlatform::endProgram(ExitCode code)
{
    std::fflush(nullptr);
    std::_Exit(static_cast<int>(code));
}

bool LinuxPlatform::isProgramFile(const std::string& program) const
{
    if (StandInFor(program) != StandInProgram::None)
        return true;
    if (program.find_first_of("\\/:") == std::string::npos)
        return !FindOnSearchPath(program).empty();
    try {
        struct stat status {};
        return ::stat(nativePathOf(program).c_str(), &status) == 0 && S_ISREG(status.st_mode);
    } catch (const RuntimeError&) {
        return false;
    }
}

double LinuxPlatform::startProcess(const std::string& commandLine, int /*windowStyle*/)
{
    const CommandLineParts parts =
        SplitCommandLine(commandLine, [this](const std::string& program) { return isProgramFile(program); });

    const StandInProgram standIn = StandInFor(parts.program);
    if (standIn != StandInProgram::None) {
        // The editor and the file manager are the desktop's default applications for plain text and folders.
        const std::string target = nativePathOf(parts.argument.value_or(""));
        const char* contentType = standIn == StandInProgram::TextEditor ? "text/plain" : "inode/directory";
        const auto application = applications().defaultApplicationFor(contentType, false);
        if (!application)
            throw RuntimeError(RuntimeErrorNumber::FileNotFound, parts.program,
                               std::string("no default application for ") + contentType);
        return static_cast<double>(StartDetached(CommandLineFor(*application, target)));
    }

    std::string program = parts.program;
    if (program.find_first_of("\\:") != std::string::npos)
        program = nativePathOf(program);
    std::vector<std::string> argv{program};
    if (parts.argument)
        argv.push_back(*parts.argument);
    return static_cast<double>(StartDetached(argv));
}

std::string LinuxPlatform::nativePathOf(const std::string& path, bool forWriting) const
{
    if (path.find('\0') != std::string::npos)
        throw RuntimeError(RuntimeErrorNumber::BadFileNameOrNumber, path, "the name holds a NUL character");
    return drives_.toNative(path, forWriting);
}

std::vector<std::string> LinuxPlatform::findFiles(const std::string& pattern)
{
    try {
        const std::string name = LastPart(pattern);
        if (name.empty())
            return {};
        return SearchDirectory(nativePathOf(DirectoryPart(pattern)), name);
    } catch (const RuntimeError&) {
        return {};  // a path the file system rejects finds nothing
    }
}

std::string LinuxPlatform::readTextFile(const std::string& path)
{
    return ReadWholeFile(nativePathOf(path));
}

void LinuxPlatform::replaceTextFile(const std::string& path, const TextPieces& content)
{
    ReplaceFileAtomically(nativePathOf(path, true), content);
}

void LinuxPlatform::appendTextFile(const std::string& path, const std::string& content)
{
    AppendToFile(nativePathOf(path, true), content);
}

bool LinuxPlatform::createTextFileIfAbsent(const std::string& path, const std::string& content)
{
    return CreateFileIfAbsent(nativePathOf(path, true), content);
}

void LinuxPlatform::deleteFile(const std::string& path)
{
    DeleteFile(nativePathOf(path));
}

std::string LinuxPlatform::currentDirectory()
{
    return drives_.toProgramPath(NativeWorkingDirectory());
}

void LinuxPlatform::changeDrive(const std::string& drive)
{
    // C: is the only drive and therefore always the current one; its current directory is the process's.
    if (drive.empty())
        throw RuntimeError(RuntimeErrorNumber::InvalidProcedureCall, "", "no drive named");
    if (drive.front() != 'C' && drive.front() != 'c')
        throw RuntimeError(RuntimeErrorNumber::DeviceUnavailable, drive, "no such drive");
}

void LinuxPlatform::changeDirectory(const std::string& path)
{
    const std::string native = nativePathOf(path);
    if (::chdir(native.c_str()) != 0) {
        const int error = errno;
        const RuntimeErrorNumber number = error == ENOENT || error == ENOTDIR ? RuntimeErrorNumber::PathNotFound
                                                                             : ErrorNumberFromErrno(error, true);
        throw RuntimeError(number, native, std::strerror(error));
    }
}

std::string LinuxPlatform::findExecutable(const std::string& file)
{
    const std::string native = nativePathOf(file);
    struct stat status {};
    if (::lstat(native.c_str(), &status) != 0)
        throw ErrorFromErrno(errno, native);
    if (!S_ISREG(status.st_mode))
        return {};  // only an ordinary file has a content type of its own
    // GIO answers for a web page with the plain-text editor when no application handles web pages; an
    // editor is no browser, so for web pages only an application that declares the type itself counts.
    const std::string contentType = applications().contentTypeOfFile(native);
    const bool webPage = contentType == "text/html" || contentType == "application/xhtml+xml";
    const auto application = applications().defaultApplicationFor(contentType, webPage);
    return application ? drives_.toProgramPath(application->executable) : std::string();
}

std::string LinuxPlatform::specialFolder(const std::string& name)
{
    // Special folders are native paths (they begin with "/"), which the drive mapping takes as they are.
    // Only the desktop is known; for any other name the answer is empty, as the shell's is.
    if (!NamesEqualIgnoringCase(name, "Desktop"))
        return {};
    DesktopServices* services = desktop();
    if (!services)
        throw RuntimeError(RuntimeErrorNumber::DeviceUnavailable, "", "the desktop folder: " + desktopError_);
    return services->desktopFolder();
}

std::unique_ptr<ShellShortcut> LinuxPlatform::createShortcut(const std::string& path)
{
    // The logic names its own executable the Windows way, "<program folder>\<title>.exe"; on Linux that
    // name stands for the real executable, which has no extension.
    const std::string ownWindowsName = EnsureTrailingSeparator(programFolder()) + programFileTitle() + ".exe";
    const std::string executable = ExecutablePath();
    auto nativeOf = [this, ownWindowsName, executable](const std::string& given) {
        return given == ownWindowsName ? executable : nativePathOf(given);
    };
    const bool underNativeFolder = !path.empty() && path.front() == '/';
    return std::make_unique<LinuxShortcut>(nativePathOf(underNativeFolder ? NativeShortcutPathOf(path) : path, true),
                                           std::move(nativeOf));
}

}  // namespace velmora::linux_platform
