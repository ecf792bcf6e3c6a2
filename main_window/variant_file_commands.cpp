#include "main_window/variant_file_commands.h"

#include <algorithm>

#include "hosts_store/hosts_store.h"
#include "main_window/form1_view.h"
#include "main_window/variant_list.h"
#include "shell/dialogs.h"
#include "shell/paths.h"
#include "shell/platform.h"
#include "shell/string_ops.h"

namespace velmora {

namespace {

constexpr char kForbiddenNameCharacters[] = "\\/:*?\"<>|";

std::string SelectedEntry(const Form1View& view)
{
    return view.listEntry(view.listIndex());
}

bool IsControlCharacter(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// Whether the entry stored under `existingName` is one of the variants the listing shows for `variant`.
bool IsListedVariant(Platform& platform, const std::string& variant, const std::string& existingName)
{
    FileLookup lookup(platform);
    for (std::string name = lookup.first(variant); !name.empty(); name = lookup.next())
        if (name == existingName)
            return true;
    return false;
}

}  // namespace

std::string ProblemWithNewVariantName(const std::string& trimmedName)
{
    // A name of blanks only would name `hosts.`, which the home platform takes for the active `hosts` itself.
    if (trimmedName.empty())
        return std::string("A name of blanks only cannot be used.") + kCR +
               "It would name the active Hosts-File itself.";
    if (trimmedName.find(kUnrepresentableCharacter) != std::string::npos) {
        std::string shown = trimmedName;
        std::replace(shown.begin(), shown.end(), kUnrepresentableCharacter, '?');
        return "The name '" + shown + "' cannot be used." + kCR +
               "The system's code page has no place for the characters shown as '?'.";
    }
    const bool forbidden = std::any_of(trimmedName.begin(), trimmedName.end(), [](char c) {
        return IsControlCharacter(c) || std::string_view(kForbiddenNameCharacters).find(c) != std::string_view::npos;
    });
    if (forbidden || trimmedName.back() == '.')
        // One sentence a line, each short enough that the box does not wrap it.
        return "The name '" + trimmedName + "' cannot be used." + kCR +
               "A name must not hold any of  \\ / : * ? \" < > |" + kCR +
               "It must not hold control characters either." + kCR + "It must not end in a dot.";
    if (IsSystemFileName(kVariantPrefix + trimmedName))
        return "The name '" + trimmedName + "' cannot be used." + kCR + "'" + kVariantPrefix + trimmedName +
               "' is one of the system's own files." + kCR + "It is not a Hosts-File.";
    return {};
}

void CreateNewVariant(Form1View& view, Platform& platform, const std::string& hostsDir)
{
    const std::string name = AskForText(platform, "Enter Name for the new Hosts-File", "Enter Name", "NewHostFile");
    if (name.empty())
        return;
    const std::string trimmedName = TrimBlanks(name);
    if (const std::string problem = ProblemWithNewVariantName(trimmedName); !problem.empty()) {
        ShowMessage(platform, problem, message_style::kStopIcon, std::string("Invalid Name"));
        return;
    }

    // Whatever stands under the name is asked about: only a variant may be replaced, never a folder, a link
    // or any other entry that the listing leaves out.
    const std::string variant = hostsDir + kVariantPrefix + trimmedName;
    if (!platform.canKeepFileAt(variant)) {
        ShowMessage(platform,
                    "A name of " + std::to_string(trimmedName.size()) + " characters cannot be used." + kCR +
                        "It is too long for a file name in the hosts directory.",
                    message_style::kStopIcon, std::string("Invalid Name"));
        return;
    }
    if (const std::optional<std::string> existing = platform.storedEntryName(variant)) {
        if (!IsListedVariant(platform, variant, *existing)) {
            ShowMessage(platform,
                        "The name '" + trimmedName + "' cannot be used." + kCR + "'" + *existing +
                            "' exists already and is not a Hosts-File." + kCR + "It is left as it is.",
                        message_style::kStopIcon, std::string("Invalid Name"));
            return;
        }
        const int answer = ShowMessage(platform, "The Hosts-File '" + *existing + "' exists already." + kCR +
                                                     "Replace it with a copy of the current Hosts-File?",
                                       message_style::kYesNo | message_style::kSecondButtonDefault,
                                       "Replace Host-File: " + *existing);
        if (answer != message_answer::kYes)
            return;
    }
    CopyHostFile(platform, hostsDir + kActiveHostsName, variant, true, name);
    platform.startProcess("Notepad.exe " + QuotePathIfSpaced(variant), kNormalFocusedWindow);
    RefreshVariantList(view, platform, hostsDir);
}

void ViewAndEditVariant(Form1View& view, Platform& platform, const std::string& hostsDir)
{
    const std::string entry = SelectedEntry(view);
    if (entry.empty())
        return;
    platform.startProcess("Notepad.exe " + hostsDir + entry, kNormalFocusedWindow);
}

void ShowCurrentHosts(Platform& platform, const std::string& hostsDir)
{
    ShowMessage(platform,
                std::string("Warning: Your changes will be overwritten with the next switch of the Host-File!") + kCR +
                    kCR + "Edit the Files from the list, to make your changes permanent.",
                message_style::kInformationIcon, std::string("Warning - Changes may get overwritten!"));
    platform.startProcess("notepad.exe " + hostsDir + "Hosts", kNormalFocusedWindow);
}

void DeleteVariant(Form1View& view, Platform& platform, const std::string& hostsDir)
{
    const std::string entry = SelectedEntry(view);
    if (entry.empty())
        return;
    const int answer = ShowMessage(platform, "Delete File: " + hostsDir + entry, message_style::kYesNo,
                                   "Delete Host-File: " + entry);
    if (answer != message_answer::kYes)
        return;
    platform.deleteFile(hostsDir + entry);
    RefreshVariantList(view, platform, hostsDir);
}

void AddLineToVariant(Form1View& view, Platform& platform, const std::string& hostsDir)
{
    const std::string entry = SelectedEntry(view);
    if (entry.empty())
        return;
    const std::string line =
        AskForText(platform, std::string("Add a Line to the selected Host File: ") + kCR + kCR + entry,
                   "Add New Entry: " + entry, kDefaultHostsLine);
    if (line.empty() || line == kDefaultHostsLine)
        return;
    const std::string path = hostsDir + entry;
    if (!FileExists(platform, path)) {
        ShowMessage(platform, std::string("File not found:") + kCR + path, message_style::kOk, std::nullopt);
        return;
    }
    // After a last line without an end mark (left so by an editor) the new entry starts a line of its own
    // instead of being glued onto that line.
    const std::string current = platform.readTextFile(path);
    const bool endsInLineEnd = current.empty() || current.back() == '\r' || current.back() == '\n';
    platform.appendTextFile(path, (endsInLineEnd ? "" : "\r\n") + line + "\r\n");
}

void OpenHostsDirectory(Platform& platform, const std::string& hostsDir)
{
    platform.startProcess("Explorer.exe " + QuotePathIfSpaced(hostsDir), kNormalFocusedWindow);
}

}  // namespace velmora
