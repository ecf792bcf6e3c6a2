#include "tests/support/fake_platform.h"

#include <algorithm>

#include "shell/paths.h"
#include "shell/string_ops.h"

namespace velmora::testing {

namespace {

bool NamesEqualIgnoringCase(const std::string& a, const std::string& b)
{
    return LowerCaseAscii(a) == LowerCaseAscii(b);
}

bool MatchFrom(const std::string& pattern, std::size_t p, const std::string& name, std::size_t n)
{
    if (p == pattern.size())
        return n == name.size();
    if (pattern[p] == '*')
        return MatchFrom(pattern, p + 1, name, n) || (n < name.size() && MatchFrom(pattern, p, name, n + 1));
    return n < name.size() && (pattern[p] == '?' || pattern[p] == name[n]) && MatchFrom(pattern, p + 1, name, n + 1);
}

bool WildcardMatch(const std::string& pattern, const std::string& name)
{
    const std::string p = LowerCaseAscii(pattern);
    const std::string n = LowerCaseAscii(name);
    if (MatchFrom(p, 0, n, 0))
        return true;
    return p.ends_with(".*") && n.find('.') == std::string::npos && MatchFrom(p.substr(0, p.size() - 2), 0, n, 0);
}

}  // namespace

int FakePlatform::messageBox(const std::string& prompt, int style, const std::optional<std::string>& title)
{
    log.push_back("box|" + prompt + "|" + std::to_string(style) + "|" + title.value_or("-"));
    if (noDisplay)
        return message_answer::kNotShown;
    if (!messageAnswers.empty()) {
        const int answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    // Unscripted, the box is answered with its default button.
    if ((style & 0x0F) != message_style::kYesNo)
        return message_answer::kOk;
    return (style & 0xF00) == message_style::kSecondButtonDefault ? message_answer::kNo : message_answer::kYes;
}

std::optional<std::string> FakePlatform::inputBox(const std::string& prompt, const std::string& title,
                                                  const std::string& defaultText)
{
    log.push_back("input|" + prompt + "|" + title + "|" + defaultText);
    if (noDisplay)
        return std::nullopt;
    if (inputAnswers.empty())
        return std::string();
    std::string answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

void FakePlatform::endProgram(ExitCode code)
{
    log.push_back("end|" + std::to_string(static_cast<int>(code)));
    endedWith = code;
    throw ProgramEnded{code};
}

double FakePlatform::startProcess(const std::string& commandLine, int windowStyle)
{
    failIfScripted("start", commandLine);
    log.push_back("start|" + commandLine + "|" + std::to_string(windowStyle));
    return 4242;
}

void FakePlatform::failIfScripted(const std::string& operation, const std::string& path) const
{
    const auto failure = failures.find(operation + "|" + path);
    if (failure != failures.end())
        throw RuntimeError(failure->second, path);
    if (operation != "read" && needingRights.count(path))
        throw NeedsAdministratorRights(path);
}

void FakePlatform::failLikeTheDrive(const std::string& path) const
{
    const auto isPath = [&](const std::string& entry) { return NamesEqualIgnoringCase(entry, path); };
    if (std::any_of(otherEntries.begin(), otherEntries.end(), isPath))
        throw RuntimeError(RuntimeErrorNumber::PathFileAccessError, path);
    const std::string folder = LowerCaseAscii(DirectoryPartOf(path));
    if (folder.empty())
        return;  // relative to a current directory the fake does not hold
    const auto inFolder = [&](const std::string& entry) { return LowerCaseAscii(entry + "\\").starts_with(folder); };
    // The program's own folder exists: the program runs from it.
    if (!inFolder(programFolderText) && std::none_of(otherEntries.begin(), otherEntries.end(), inFolder) &&
        std::none_of(files.begin(), files.end(), [&](const auto& file) { return inFolder(file.first); }))
        throw RuntimeError(RuntimeErrorNumber::PathNotFound, path);
}

PrivilegedChange FakePlatform::switchWithPrivileges(const std::string& /*hostsDir*/, const std::string& variantName)
{
    if (privilegedAnswer != PrivilegedChange::NotNeeded)
        log.push_back("privileged|switch|" + variantName);
    if (consentNotAsked)
        throw ConsentNotAsked(*consentNotAsked);
    return privilegedAnswer;
}

PrivilegedChange FakePlatform::backupWithPrivileges(const std::string& /*hostsDir*/)
{
    if (privilegedAnswer != PrivilegedChange::NotNeeded)
        log.push_back("privileged|backup");
    if (consentNotAsked)
        throw ConsentNotAsked(*consentNotAsked);
    return privilegedAnswer;
}

std::optional<std::string> FakePlatform::storedKeyOf(const std::string& path) const
{
    if (files.count(path))
        return path;
    for (const auto& [key, content] : files)
        if (NamesEqualIgnoringCase(key, path))
            return key;
    return std::nullopt;
}

std::vector<std::string> FakePlatform::findFiles(const std::string& pattern)
{
    std::vector<std::string> names;
    const std::string directory = DirectoryPartOf(pattern);
    for (const auto& [key, content] : files) {
        if (NamesEqualIgnoringCase(DirectoryPartOf(key), directory) &&
            WildcardMatch(LastPartOf(pattern), LastPartOf(key)))
            names.push_back(LastPartOf(key));
    }
    return names;
}

std::string FakePlatform::caseBlindKey(const std::string& name)
{
    return UpperCaseAscii(name);
}

std::optional<std::string> FakePlatform::storedEntryName(const std::string& path)
{
    if (const auto key = storedKeyOf(path))
        return LastPartOf(*key);
    for (const std::string& entry : otherEntries)
        if (NamesEqualIgnoringCase(entry, path))
            return LastPartOf(entry);
    return std::nullopt;
}

std::string FakePlatform::readTextFile(const std::string& path)
{
    failIfScripted("read", path);
    failLikeTheDrive(path);
    const auto key = storedKeyOf(path);
    if (!key)
        throw RuntimeError(RuntimeErrorNumber::FileNotFound, path);
    return files.at(*key);
}

void FakePlatform::replaceTextFile(const std::string& path, const TextPieces& content)
{
    failIfScripted("replace", path);
    failLikeTheDrive(path);
    log.push_back("replace|" + path);
    std::string& file = files[storedKeyOf(path).value_or(path)];
    file.clear();
    for (std::string_view piece : content)
        file += piece;
}

void FakePlatform::appendTextFile(const std::string& path, const std::string& content)
{
    failIfScripted("append", path);
    failLikeTheDrive(path);
    log.push_back("append|" + path);
    files[storedKeyOf(path).value_or(path)] += content;
}

bool FakePlatform::createTextFileIfAbsent(const std::string& path, const std::string& content)
{
    failIfScripted("create", path);
    if (storedEntryName(path))
        return false;  // whatever stands there, a file or not
    failLikeTheDrive(path);
    log.push_back("create|" + path);
    files[path] = content;
    return true;
}

void FakePlatform::deleteFile(const std::string& path)
{
    failIfScripted("delete", path);
    failLikeTheDrive(path);
    const auto key = storedKeyOf(path);
    if (!key)
        throw RuntimeError(RuntimeErrorNumber::FileNotFound, path);
    log.push_back("delete|" + path);
    files.erase(*key);
}

std::optional<std::uint64_t> FakePlatform::fileSize(const std::string& path)
{
    const auto key = storedKeyOf(path);
    if (!keepsCopies || !key)
        return std::nullopt;
    return files.at(*key).size();
}

void FakePlatform::keepHiddenCopy(const std::string& path)
{
    failIfScripted("keep", path);
    log.push_back("keep|" + path);
}

void FakePlatform::changeDrive(const std::string& drive)
{
    failIfScripted("drive", drive);
    log.push_back("drive|" + drive);
}

void FakePlatform::changeDirectory(const std::string& path)
{
    failIfScripted("cd", path);
    log.push_back("cd|" + path);
    currentDirectoryText = path;
}

std::string FakePlatform::findExecutable(const std::string& file)
{
    failIfScripted("find", file);
    if (!storedKeyOf(file))
        return {};
    const auto dot = file.find_last_of('.');
    if (dot == std::string::npos)
        return {};
    std::string extension = file.substr(dot);
    for (char& c : extension)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto found = associations.find(extension);
    return found == associations.end() ? std::string() : found->second;
}

std::string FakePlatform::specialFolder(const std::string& name)
{
    failIfScripted("folder", name);
    const auto found = specialFolders.find(name);
    return found == specialFolders.end() ? std::string() : found->second;
}

// A shortcut object that logs every call, in order, into its platform's log and writes nothing; save() may be
// scripted to fail.
class RecordingShortcut final : public ShellShortcut {
public:
    RecordingShortcut(FakePlatform& platform, std::string path) : platform_(platform), path_(std::move(path)) {}
    void setTargetPath(const std::string& path) override { record("TargetPath|" + path); }
    void setWorkingDirectory(const std::string& path) override { record("WorkingDirectory|" + path); }
    void setWindowStyle(std::int16_t style) override { record("WindowStyle|" + std::to_string(style)); }
    void setArguments(const std::string& arguments) override { record("Arguments|" + arguments); }
    void setIconLocation(const std::string& location) override { record("IconLocation|" + location); }
    void save() override
    {
        const auto failure = platform_.failures.find("save|" + path_);
        if (failure != platform_.failures.end())
            throw RuntimeError(failure->second, path_);
        record("save|" + path_);
    }

private:
    void record(const std::string& line) { platform_.log.push_back(line); }
    FakePlatform& platform_;
    std::string path_;
};

std::unique_ptr<ShellShortcut> FakePlatform::createShortcut(const std::string& path)
{
    failIfScripted("shortcut", path);
    log.push_back("shortcut|" + path);
    return std::make_unique<RecordingShortcut>(*this, path);
}

std::vector<std::string> FakePlatform::boxes() const
{
    std::vector<std::string> shown;
    for (const std::string& line : log)
        if (line.rfind("box|", 0) == 0)
            shown.push_back(line);
    return shown;
}

}  // namespace velmora::testing
