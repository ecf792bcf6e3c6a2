#include "shell/windows/windows_platform.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>

#include "shell/paths.h"
#include "shell/runtime_error.h"
#include "shell/shell_link.h"
#include "shell/string_ops.h"
#include "shell/windows/ansi_text_win.h"
#include "shell/windows/command_line_win.h"
#include "shell/windows/error_mapping_win.h"
#include "shell/windows/files_win.h"
#include "shell/windows/input_box_win.h"
#include "shell/windows/on_demand_calls_win.h"
#include "shell/windows/scoped_resources_win.h"
#include "shell/windows/wscript_shell_win.h"

namespace velmora::windows_platform {

namespace {

void PrintUnshown(const std::string& title, const std::string& prompt)
{
    std::fprintf(stderr, "%s: %s\n", title.c_str(), BoxTextWithLineFeeds(prompt).c_str());
    std::fflush(stderr);
}

bool NamesEqualIgnoringAsciiCase(const std::string& a, const char* b)
{
    return ::lstrcmpiA(a.c_str(), b) == 0;
}

// A shortcut written by the project's own Shell Link writer, for systems without the shell object. It
// keeps the values until save() and touches no file before.
class ShellLinkFileShortcut final : public ShellShortcut {
public:
    explicit ShellLinkFileShortcut(std::string path) : path_(std::move(path)) {}
    void setTargetPath(const std::string& path) override { values_.targetPath = path; }
    void setWorkingDirectory(const std::string& path) override { values_.workingDirectory = path; }
    void setWindowStyle(std::int16_t style) override { values_.windowStyle = style; }
    void setArguments(const std::string& arguments) override { values_.arguments = arguments; }
    void setIconLocation(const std::string& location) override { values_.iconLocation = location; }
    void save() override
    {
        const std::string bytes = ShellLinkBytes(values_);
        ReplaceFileAtomically(path_, {bytes});
    }

private:
    std::string path_;
    ShellLinkValues values_;
};

}  // namespace

bool FlushDnsClientCache()
{
    try {
        // Its answer is not looked at: there is nothing to do about a refusal, and Wine's stand-in gives none.
        dnsapi::DnsFlushResolverCache();
        return true;
    } catch (const RuntimeError&) {
        return false;  // no dnsapi.dll, or no such call in it: the system offers no cache to clear this way
    }
}

std::string ExecutablePath()
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            throw LastError("");
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: try again with more room
    }
}

WindowsPlatform::WindowsPlatform() = default;

WindowsPlatform::~WindowsPlatform() = default;

int WindowsPlatform::messageBox(const std::string& prompt, int style, const std::optional<std::string>& title)
{
    // Without a title Windows would write "Error" in the caption: the program's title stands in.
    const std::string shownTitle = title.value_or(kProgramTitle);
    // Owned by the program's active window (when there is one), the box is modal to it: the window takes no
    // clicks until the box is answered.
    const int answer = ::MessageBoxA(::GetActiveWindow(), PromptWithWindowsLineBreaks(prompt).c_str(),
                                     shownTitle.c_str(), static_cast<UINT>(style));
    if (answer == 0) {
        PrintUnshown(shownTitle, prompt);
        return message_answer::kNotShown;
    }
    return answer;  // IDOK, IDYES and IDNO are the answers the program knows
}

std::optional<std::string> WindowsPlatform::inputBox(const std::string& prompt, const std::string& title,
                                                     const std::string& defaultText)
{
    std::optional<std::string> answer = ShowInputBox(prompt, title, defaultText);
    if (!answer)
        PrintUnshown(title, prompt);
    return answer;
}

std::string WindowsPlatform::commandLine()
{
    // Read wide: GetCommandLineA would give a look-alike of a name outside the code page, naming another file.
    const wchar_t* line = ::GetCommandLineW();
    return TextAfterProgramPath(line ? ExactAnsiOf(line) : std::string());
}

std::string WindowsPlatform::programFolder()
{
    std::string folder = DirectoryPartOf(ExecutablePath(), "\\");
    // The root keeps its backslash ("C:\"), every other folder is given without one.
    if (!folder.empty() && !(folder.size() == 3 && folder[1] == ':'))
        folder.pop_back();
    return folder;
}

std::string WindowsPlatform::programPath()
{
    return ExecutablePath();
}

void WindowsPlatform::beep()
{
    ::MessageBeep(MB_OK);
}

void WindowsPlatform::endProgram(ExitCode code)
{
    std::fflush(nullptr);
    ::ExitProcess(static_cast<UINT>(code));
}

double WindowsPlatform::startProcess(const std::string& commandLine, int windowStyle)
{
    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(windowStyle);
    PROCESS_INFORMATION process {};
    std::string writable = commandLine;  // CreateProcessA may write into its command line
    if (!::CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        throw LastError(commandLine);
    const ScopedHandle thread(process.hThread), started(process.hProcess);  // nothing waits for them
    return static_cast<double>(process.dwProcessId);
}

std::vector<std::string> WindowsPlatform::findFiles(const std::string& pattern)
{
    return FindOrdinaryFiles(pattern);
}

std::string WindowsPlatform::caseBlindKey(const std::string& name)
{
    return UpperCaseInCodePage(name);
}

std::optional<std::string> WindowsPlatform::storedEntryName(const std::string& path)
{
    return StoredEntryName(path);
}

bool WindowsPlatform::canKeepFileAt(const std::string& path)
{
    return CanKeepFileAt(path);
}

std::string WindowsPlatform::readTextFile(const std::string& path)
{
    return ReadWholeFile(path);
}

void WindowsPlatform::replaceTextFile(const std::string& path, const TextPieces& content)
{
    replaceTextFileAfter(path, content, {});
}

// Windows has no lock on the file for every replacement: a replacement is atomic, and only the in-place
// rewrite of a held file is not, which holds its journal's marker while it runs. The check runs once such a
// rewrite is finished (a running one refuses the replacement), and reads the file without write sharing.
void WindowsPlatform::replaceTextFileAfter(const std::string& path, const TextPieces& content,
                                           const std::function<void()>& beforeReplacing)
{
    ReplaceFileAtomically(path, content, beforeReplacing);
    // The program replaces a file named `hosts` only to switch: the system's resolver must see the new one.
    if (NamesEqualIgnoringAsciiCase(LastPartOf(path), "hosts"))
        FlushDnsClientCache();
}

void WindowsPlatform::appendTextFile(const std::string& path, const std::string& content)
{
    AppendToFile(path, content);
}

bool WindowsPlatform::createTextFileIfAbsent(const std::string& path, const std::string& content)
{
    return CreateFileIfAbsent(path, content);
}

void WindowsPlatform::deleteFile(const std::string& path)
{
    RemoveOrdinaryFile(path);
}

std::optional<std::uint64_t> WindowsPlatform::fileSize(const std::string& path)
{
    return OrdinaryFileSize(path);
}

bool WindowsPlatform::fileHolds(const std::string& path, const TextPieces& content)
{
    return FileHolds(path, content);
}

void WindowsPlatform::keepHiddenCopy(const std::string& path)
{
    KeepHiddenCopy(path);
}

void WindowsPlatform::finishInterruptedReplacements(const std::string& folder)
{
    FinishInterruptedReplacements(folder);
}

std::string WindowsPlatform::currentDirectory()
{
    return drives_.current();
}

void WindowsPlatform::changeDrive(const std::string& drive)
{
    drives_.changeDrive(drive);
}

void WindowsPlatform::changeDirectory(const std::string& path)
{
    drives_.changeDirectory(path);
}

std::string WindowsPlatform::findExecutable(const std::string& file)
{
    // FindExecutableA writes up to MAX_PATH characters and its terminator; room to spare costs nothing.
    char program[MAX_PATH * 2] = {};
    const auto result = reinterpret_cast<INT_PTR>(shell32::FindExecutableA(file.c_str(), nullptr, program));
    if (result > 32)
        return program;
    switch (result) {
    case SE_ERR_NOASSOC: return {};
    case SE_ERR_FNF: throw ErrorFromWin32(ERROR_FILE_NOT_FOUND, file);
    case SE_ERR_PNF: throw ErrorFromWin32(ERROR_PATH_NOT_FOUND, file);
    case SE_ERR_ACCESSDENIED: throw ErrorFromWin32(ERROR_ACCESS_DENIED, file);
    case SE_ERR_OOM: throw ErrorFromWin32(ERROR_NOT_ENOUGH_MEMORY, file);
    default: throw ErrorFromWin32(static_cast<std::uint32_t>(result), file);
    }
}

WScriptShell* WindowsPlatform::shell()
{
    if (!shellTried_) {
        shellTried_ = true;
        comApartment_.emplace();
        shell_ = WScriptShell::Create();
    }
    return shell_.get();
}

std::string WindowsPlatform::specialFolder(const std::string& name)
{
    if (WScriptShell* shellObject = shell())
        return shellObject->specialFolder(name);
    if (!NamesEqualIgnoringAsciiCase(name, "Desktop"))
        return {};
    char folder[MAX_PATH] = {};
    const HRESULT status = shell32::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, folder);
    if (FAILED(status))
        throw ErrorFromWin32(HRESULT_FACILITY(status) == FACILITY_WIN32 ? HRESULT_CODE(status) : ERROR_PATH_NOT_FOUND,
                             name);
    return folder;
}

std::unique_ptr<ShellShortcut> WindowsPlatform::createShortcut(const std::string& path)
{
    if (WScriptShell* shellObject = shell())
        return shellObject->createShortcut(path);
    return std::make_unique<ShellLinkFileShortcut>(path);
}

}  // namespace velmora::windows_platform
