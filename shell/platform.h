#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The program's own title: boxes without a title of their own carry it, and so does the error report.
inline constexpr char kProgramTitle[] = "Velmora";

// Every prompt breaks its lines with a single CR (character 13).
inline constexpr char kCR = '\r';

// Stands in a text from the system (a typed name, the command line, a stored file name) for every character
// that the system's single-byte code page has no place for: the ASCII substitute character (26). It is a
// control character, so no name that holds it passes the program's name checks.
inline constexpr char kUnrepresentableCharacter = '\x1A';

// How the program ends. Documented for users in the README; scripts rely on the numbers.
enum class ExitCode : int {
    Normal = 0,              // a switch was made, or the window was closed / Escape pressed
    RuntimeError = 1,        // the run-time error report: a file operation or a program start failed
    CommandLineRefused = 2,  // a command line that did not switch, with no display to go on with the window
    HostsMissing = 3,        // there is no active hosts file: the stop box
    NoDisplay = 4,           // a box or the window was needed, but no display could be opened
    NeedsAdministratorRights = 5,  // the switch needs administrator rights that were not given: nothing changed
    DriveSettingRefused = 6,  // the sandbox drive variable is set but names no absolute folder
    RightsNotAsked = 7,       // the switch needs administrator rights, but nobody could be asked: nothing changed
};

// How a change of the hosts directory went that the running user may not make on their own.
enum class PrivilegedChange {
    NotNeeded,  // the program may make the change itself (or the system offers no way to delegate it)
    Made,       // the system's privileged helper made it, with the administrator's consent
    Refused,    // the consent was not given (dismissed, denied): nothing changed
};

// Thrown by the changes that need administrator rights when the system could not even ask for the
// administrator's consent (no authentication agent or session answered, the asking program is missing or
// failed): nothing was changed. Not a refusal, since nobody was asked. Its text is the platform's own
// explanation on lines of their own: the asking program's last word and what to do instead.
class ConsentNotAsked : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Thrown by the platform's file operations, before anything is touched, when the running user may not change
// the system's hosts directory. Not a run-time error: the caller tells the user and goes on.
class NeedsAdministratorRights : public std::runtime_error {
public:
    explicit NeedsAdministratorRights(const std::string& nativePath)
        : std::runtime_error("changing " + nativePath + " needs administrator rights")
    {
    }
};

// Message box styles: the sum of a button set, an icon and which button is the default (the first unless
// stated), in the values the home platform's message box takes.
namespace message_style {
inline constexpr int kOk = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kStopIcon = 16;
inline constexpr int kInformationIcon = 64;
inline constexpr int kSecondButtonDefault = 256;  // No of Yes and No: Return does not answer Yes
}  // namespace message_style

// What a message box gives back: the button pressed, or kNotShown when no box could be shown (the platform
// then printed it to the error stream). The logic decides what follows an unshown box.
namespace message_answer {
inline constexpr int kNotShown = 0;
inline constexpr int kOk = 1;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
}  // namespace message_answer

// A file's new content as consecutive pieces, so that a large copy can be written straight from its source
// without first being joined into one buffer. The pieces must stay valid for the call.
using TextPieces = std::vector<std::string_view>;

// Window style of a started process.
inline constexpr int kNormalFocusedWindow = 1;

// A shortcut file being prepared in the manner of the shell's shortcut object: the values are set one by
// one, and nothing reaches the disk before save().
class ShellShortcut {
public:
    virtual ~ShellShortcut() = default;
    virtual void setTargetPath(const std::string& path) = 0;
    virtual void setWorkingDirectory(const std::string& path) = 0;
    virtual void setWindowStyle(std::int16_t style) = 0;
    virtual void setArguments(const std::string& arguments) = 0;
    virtual void setIconLocation(const std::string& location) = 0;
    virtual void save() = 0;
};

// Everything the program needs of the operating system and the desktop, and nothing else. The logic never
// touches the world except through this interface, so it runs unchanged over a test double and over each
// operating system's side.
//
// Paths are the program's own texts (Windows form, such as C:\Windows\System32\drivers\etc\hosts); the
// platform maps them to real files. Text contents are bytes in the system's single-byte code page and are
// never transcoded. Operations that fail throw RuntimeError unless stated otherwise; a write into the system's
// hosts directory that the running user may not make throws NeedsAdministratorRights.
class Platform {
public:
    virtual ~Platform() = default;

    // --- Dialogs --------------------------------------------------------------------------------------
    // Modal message box; returns the button pressed (message_answer). A box without a title carries the
    // program's title. Where no display can be opened, the platform prints the box to the error stream
    // and returns message_answer::kNotShown.
    virtual int messageBox(const std::string& prompt, int style, const std::optional<std::string>& title) = 0;
    // Modal input box; OK gives the field's text, Cancel gives empty text. Where no display can be opened,
    // the platform prints the prompt to the error stream and gives nothing.
    virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                                const std::string& defaultText) = 0;

    // --- The program itself ---------------------------------------------------------------------------
    // The text after the program's own path on its command line, unparsed.
    virtual std::string commandLine() = 0;
    // The folder that holds the program's executable, and the executable itself, as program paths: what a
    // shortcut that starts this very program names as its working directory and target.
    virtual std::string programFolder() = 0;
    virtual std::string programPath() = 0;
    virtual void beep() = 0;
    // Ends the program at once; no later statement runs.
    [[noreturn]] virtual void endProgram(ExitCode code) = 0;

    // --- Processes ------------------------------------------------------------------------------------
    // Starts a command line (program, blank, arguments) as a new process, without any shell and without
    // waiting for it; returns its task id.
    virtual double startProcess(const std::string& commandLine, int windowStyle) = 0;

    // --- Files ----------------------------------------------------------------------------------------
    // The bare names of the ordinary files in the pattern's directory whose names match its last part
    // (wildcards * and ?, case-blind, by the platform's own matching rules), in no particular order. The
    // platform leaves out what it hides from its users (hidden and system files, links); which names the
    // program itself never treats as its files, and their order, are the caller's rules. Never fails: a
    // path the file system rejects gives no names.
    virtual std::vector<std::string> findFiles(const std::string& pattern) = 0;
    // The name as the platform compares names without regard to case, as bytes whose order is the
    // platform's case-blind order of names: names that differ in case only have the same key. Pure.
    virtual std::string caseBlindKey(const std::string& name) = 0;
    // The stored name of whatever the path names in its folder (an ordinary file, a folder, a link, a device;
    // hidden or not), matched as the platform matches names; nothing when no entry has that name. Unlike
    // findFiles it hides nothing: it is the question to ask before a new file is written.
    virtual std::optional<std::string> storedEntryName(const std::string& path) = 0;
    // Whether the system can keep a file at this path and replace it later: false where the path (with the
    // siblings a replacement makes beside it) is longer than the platform's file calls take.
    virtual bool canKeepFileAt(const std::string& path) = 0;
    virtual std::string readTextFile(const std::string& path) = 0;
    // Replaces (or creates) a file with the given content so that the file holds either its old or its
    // new content at every moment. A read-only file is refused and keeps its content.
    virtual void replaceTextFile(const std::string& path, const TextPieces& content) = 0;
    // As replaceTextFile, with `beforeReplacing` run first while no other replacement of the file can be
    // under way (on a platform that serializes them, its lock on the file is held), so that what it reads
    // of the file is whole. What it throws ends the call with the file as it was.
    virtual void replaceTextFileAfter(const std::string& path, const TextPieces& content,
                                      const std::function<void()>& beforeReplacing)
    {
        beforeReplacing();
        replaceTextFile(path, content);
    }
    virtual void appendTextFile(const std::string& path, const std::string& content) = 0;
    // Creates a file with the given content only when no file of that name exists; false when one did.
    virtual bool createTextFileIfAbsent(const std::string& path, const std::string& content) = 0;
    virtual void deleteFile(const std::string& path) = 0;
    // The size in bytes of the ordinary file a path names; nothing when there is none. A platform that keeps
    // no hidden copies (below) may answer nothing for every path.
    virtual std::optional<std::uint64_t> fileSize(const std::string& path)
    {
        static_cast<void>(path);
        return std::nullopt;
    }
    // Whether the file holds exactly the given content; false when it is missing or cannot be read. The
    // platform may compare piece by piece without reading the file whole.
    virtual bool fileHolds(const std::string& path, const TextPieces& content)
    {
        std::string text;
        try {
            text = readTextFile(path);
        } catch (const std::runtime_error&) {
            return false;
        }
        std::string_view rest = text;
        for (std::string_view piece : content) {
            if (!rest.starts_with(piece))
                return false;
            rest.remove_prefix(piece.size());
        }
        return rest.empty();
    }
    // Keeps the file's present content as a hidden copy beside it that no listing shows, with the file's own
    // owner, mode and attributes, on disk before it returns; of such copies of the file the five newest stay
    // and older ones are removed (nothing else ever is). Where no file can be made beside it, nothing is kept
    // and nothing fails; other failures throw RuntimeError before the file is touched.
    virtual void keepHiddenCopy(const std::string& path) { static_cast<void>(path); }
    // Completes or rolls back whatever a replacement in the folder left unfinished when it was interrupted
    // (killed, power lost), so that every file there holds exactly its old or its new content. A platform
    // whose replacements are always atomic has nothing to do.
    virtual void finishInterruptedReplacements(const std::string& folder) = 0;

    // --- Changes that may need administrator rights -----------------------------------------------------
    // Where the running user may not replace the active hosts file, these have the system's privileged helper
    // make the change after asking for the administrator's consent; NotNeeded tells the caller to make it
    // itself. Consent that could not be asked for throws ConsentNotAsked; other failures of the helper throw
    // RuntimeError. A platform whose users
    // always run with the rights (the program demands them at start) keeps these defaults.
    // Makes `hosts.<variantName>` in the hosts directory the active hosts file.
    virtual PrivilegedChange switchWithPrivileges(const std::string& hostsDir, const std::string& variantName)
    {
        static_cast<void>(hostsDir);
        static_cast<void>(variantName);
        return PrivilegedChange::NotNeeded;
    }
    // Saves the active hosts file as the first-start backup `hosts.Default` when there is none yet.
    virtual PrivilegedChange backupWithPrivileges(const std::string& hostsDir)
    {
        static_cast<void>(hostsDir);
        return PrivilegedChange::NotNeeded;
    }

    // --- Current drive and directory ------------------------------------------------------------------
    // The current directory as a full program path (beginning with its drive letter where it lies on a
    // drive).
    virtual std::string currentDirectory() = 0;
    virtual void changeDrive(const std::string& drive) = 0;
    virtual void changeDirectory(const std::string& path) = 0;

    // --- Shell ----------------------------------------------------------------------------------------
    // The full path of the program associated with an existing file, or empty text when there is none.
    virtual std::string findExecutable(const std::string& file) = 0;
    // The program path of a special folder known by name, such as "Desktop"; empty text for an unknown name.
    virtual std::string specialFolder(const std::string& name) = 0;
    // A shortcut object for a shortcut file path; nothing is written before its save().
    virtual std::unique_ptr<ShellShortcut> createShortcut(const std::string& path) = 0;
};

}  // namespace velmora
