#include "hosts_store/hosts_store.h"

#include "shell/paths.h"
#include "shell/platform.h"
#include "shell/string_ops.h"
#include "shell/windows_system.h"

namespace velmora {

std::string BuildHostsDir()
{
    return EnsureTrailingSeparator(GetWindowsDir()) + "System32\\drivers\\etc\\";
}

bool IsSystemFileName(std::string_view bareName)
{
    const std::string name = LowerCaseAscii(std::string(bareName));
    return name == "hosts.allow" || name == "hosts.deny";
}

std::string FileLookup::first(const std::string& pattern)
{
    matches_ = platform_.findFiles(pattern);
    std::erase_if(matches_, [](const std::string& name) { return IsSystemFileName(name); });
    nextMatch_ = 0;
    return next();
}

std::string FileLookup::next()
{
    if (nextMatch_ >= matches_.size())
        return {};
    return matches_[nextMatch_++];
}

bool FileExists(Platform& platform, const std::string& path)
{
    return !FileLookup(platform).first(path).empty();
}

std::string HeaderLines(bool header, const std::string& name)
{
    if (!header || name.empty())
        return {};
    return "#   --  " + name + "  --\r\n#\r\n";
}

TextPieces LineCopyPieces(std::string_view source, const std::string& headerLines)
{
    TextPieces pieces;
    if (!headerLines.empty())
        pieces.push_back(headerLines);

    // CR LF pairs stay as they are; only a lone CR needs its LF, so the source is cut there and nowhere else.
    std::size_t pieceStart = 0;
    for (std::size_t at = source.find('\r'); at != std::string_view::npos; at = source.find('\r', at + 1)) {
        if (at + 1 < source.size() && source[at + 1] == '\n') {
            ++at;
            continue;
        }
        pieces.push_back(source.substr(pieceStart, at + 1 - pieceStart));
        pieces.push_back("\n");
        pieceStart = at + 1;
    }
    if (pieceStart < source.size())
        pieces.push_back(source.substr(pieceStart));
    // The last line gets its end mark when the source did not give it one.
    if (!source.empty() && source.back() != '\r' && !source.ends_with("\r\n"))
        pieces.push_back("\r\n");
    return pieces;
}

void CopyHostFile(Platform& platform, const std::string& source, const std::string& destination, bool header,
                  const std::string& name)
{
    const std::string content = platform.readTextFile(source);
    platform.replaceTextFile(destination, LineCopyPieces(content, HeaderLines(header, name)));
}

HostsChange MakeDefaultBackup(Platform& platform, const std::string& hostsDir)
{
    try {
        switch (platform.backupWithPrivileges(hostsDir)) {
        case PrivilegedChange::Made: return HostsChange::Made;
        case PrivilegedChange::Refused: return HostsChange::NeedsAdministratorRights;
        case PrivilegedChange::NotNeeded: break;
        }
        CopyHostFile(platform, hostsDir + kActiveHostsName, hostsDir + kDefaultBackupName, false, "");
        return HostsChange::Made;
    } catch (const NeedsAdministratorRights&) {
        return HostsChange::NeedsAdministratorRights;
    }
}

std::vector<std::string> ListVariants(Platform& platform, const std::string& hostsDir)
{
    std::vector<std::string> entries;
    FileLookup lookup(platform);
    for (std::string name = lookup.first(hostsDir + "Hosts.*"); !name.empty(); name = lookup.next()) {
        if (LowerCaseAscii(name) != kActiveHostsName)
            entries.push_back(name);
    }
    return entries;
}

}  // namespace velmora
