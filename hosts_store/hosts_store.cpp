#include "hosts_store/hosts_store.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

#include "shell/paths.h"
#include "shell/platform.h"
#include "shell/runtime_error.h"
#include "shell/string_ops.h"
#include "shell/windows_directory.h"

namespace velmora {

std::string BuildHostsDir()
{
    return EnsureTrailingSeparator(GetWindowsDir()) + "System32\\drivers\\etc\\";
}

bool IsSystemFileName(std::string_view bareName)
{
    const std::string name = LowerCaseAscii(std::string(bareName));
    return name == "hosts.allow" || name == "hosts.deny" || name == "hosts.ics";
}

bool HasVariantPrefix(std::string_view bareName)
{
    const std::string_view prefix = kVariantPrefix;
    return bareName.size() >= prefix.size() && LowerCaseAscii(std::string(bareName.substr(0, prefix.size()))) == prefix;
}

std::string WithoutVariantPrefix(const std::string& bareName)
{
    return HasVariantPrefix(bareName) ? bareName.substr(std::size(kVariantPrefix) - 1) : bareName;
}

std::optional<HostsChange> HostsChangeOf(PrivilegedChange change)
{
    switch (change) {
    case PrivilegedChange::Made: return HostsChange::Made;
    case PrivilegedChange::Refused: return HostsChange::NeedsAdministratorRights;
    case PrivilegedChange::NotNeeded: break;
    }
    return std::nullopt;
}

std::string FileLookup::first(const std::string& pattern)
{
    matches_ = platform_.findFiles(pattern);
    std::erase_if(matches_, [](const std::string& name) { return IsSystemFileName(name); });
    // Case-blind order of the platform's names, ties by the stored bytes, so that a listing is the same
    // whatever order the file system keeps them in.
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(matches_.size());
    for (std::string& name : matches_)
        keyed.emplace_back(platform_.caseBlindKey(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    matches_.clear();
    for (auto& [key, name] : keyed)
        matches_.push_back(std::move(name));
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

namespace {

// Written from the source itself, every lone CR costs two pieces (a view of its line and the LF), which for
// short lines is many times the text's own size. Past this many, the text is copied once with CR LF
// instead, which bounds memory by the source plus that one copy.
constexpr std::size_t kMostLoneCrs = 4096;

bool IsLoneCr(std::string_view text, std::size_t at)
{
    return text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n');
}

std::size_t CountLoneCrs(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t at = text.find('\r'); at != std::string_view::npos; at = text.find('\r', at + 1))
        count += IsLoneCr(text, at) ? 1 : 0;
    return count;
}

std::string WithLoneCrsAsCrLf(std::string_view text, std::size_t loneCrs)
{
    std::string converted;
    converted.reserve(text.size() + loneCrs);
    std::size_t copied = 0;
    for (std::size_t at = text.find('\r'); at != std::string_view::npos; at = text.find('\r', at + 1)) {
        if (IsLoneCr(text, at)) {
            converted.append(text.substr(copied, at + 1 - copied)).push_back('\n');
            copied = at + 1;
        }
    }
    converted.append(text.substr(copied));
    return converted;
}

// A file's content read for a line copy: as it is, or with its lone CRs already ended, when it has so many
// that writing it from its own bytes would cost too much.
std::string ReadForLineCopy(Platform& platform, const std::string& source)
{
    std::string content = platform.readTextFile(source);
    if (const std::size_t loneCrs = CountLoneCrs(content); loneCrs > kMostLoneCrs)
        content = WithLoneCrsAsCrLf(content, loneCrs);
    return content;
}

// A line copy keeps every byte, gives each lone CR its LF and the last line its end mark: it is at least as
// long as its source and at most twice as long plus two.
bool LineCopyCouldBeThatLong(std::uint64_t sourceSize, std::uint64_t copySize)
{
    return sourceSize <= copySize && copySize <= 2 * sourceSize + 2;
}

}  // namespace

LineCopyOfFile::LineCopyOfFile(Platform& platform, const std::string& source, std::string headerLines)
    : content_(ReadForLineCopy(platform, source))
    , headerLines_(std::move(headerLines))
    , pieces_(LineCopyPieces(content_, headerLines_))
{
    for (std::string_view piece : pieces_)
        size_ += piece.size();
}

void CopyHostFile(Platform& platform, const std::string& source, const std::string& destination, bool header,
                  const std::string& name)
{
    const LineCopyOfFile copy(platform, source, HeaderLines(header, name));
    platform.replaceTextFile(destination, copy.pieces());
}

void KeepHostsUnlessAVariantsCopy(Platform& platform, const std::string& hostsDir, const std::string& switchEntry,
                                  const LineCopyOfFile& switchCopy)
{
    const std::string hostsPath = hostsDir + kActiveHostsName;
    const std::optional<std::uint64_t> hostsSize = platform.fileSize(hostsPath);
    if (!hostsSize)
        return;  // no hosts to lose (or a platform that keeps no copies)
    // A switch to the variant that hosts already holds (a shortcut clicked twice) reads nothing more.
    if (switchCopy.size() == *hostsSize && platform.fileHolds(hostsPath, switchCopy.pieces()))
        return;
    for (const std::string& entry : ListVariants(platform, hostsDir)) {
        const std::string variantPath = hostsDir + entry;
        const std::optional<std::uint64_t> variantSize = platform.fileSize(variantPath);
        if (LowerCaseAscii(entry) == LowerCaseAscii(switchEntry) || !variantSize ||
            !LineCopyCouldBeThatLong(*variantSize, *hostsSize))
            continue;
        try {
            const LineCopyOfFile copy(platform, variantPath);
            if (copy.size() == *hostsSize && platform.fileHolds(hostsPath, copy.pieces()))
                return;
        } catch (const RuntimeError&) {
            // A variant this user may not read is no reason to refuse a switch to another one.
        }
    }
    platform.keepHiddenCopy(hostsPath);
}

std::string ConsentNotAskedText(const char* message, const ConsentNotAsked& error)
{
    return std::string(message) + kCR + kCR + error.what();
}

HostsChange MakeDefaultBackup(Platform& platform, const std::string& hostsDir)
{
    try {
        if (const auto privileged = HostsChangeOf(platform.backupWithPrivileges(hostsDir)))
            return *privileged;
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
