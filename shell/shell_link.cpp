#include "shell/shell_link.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

#include "shell/runtime_error.h"
#include "shell/text_encoding.h"

namespace velmora {

namespace {

// Header flags (LinkFlags) this writer uses.
constexpr std::uint32_t kHasLinkTargetIdList = 0x01;
constexpr std::uint32_t kHasLinkInfo = 0x02;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasArguments = 0x20;
constexpr std::uint32_t kHasIconLocation = 0x40;
constexpr std::uint32_t kIsUnicode = 0x80;

constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

constexpr std::uint32_t kShowNormal = 1;
constexpr std::uint32_t kShowMaximized = 3;
constexpr std::uint32_t kShowMinNoActive = 7;

constexpr std::uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr std::uint32_t kLinkInfoHeaderSizeWithUnicode = 0x24;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr std::uint32_t kDriveFixed = 3;

// The "My Computer" item every drive path begins with.
constexpr unsigned char kMyComputerItem[] = {0x14, 0x00, 0x1F, 0x50, 0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A,
                                             0x69, 0x10, 0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
constexpr unsigned char kDriveItemType = 0x2F;
constexpr std::size_t kDriveItemSize = 0x19;  // newer shells insist on the zero padding after "C:\"
constexpr unsigned char kDirectoryItemType = 0x31;
constexpr unsigned char kFileItemType = 0x32;
constexpr unsigned char kUnicodeNameBit = 0x04;

constexpr std::size_t kMaxCount = 0xFFFF;

bool IsAscii(const std::u16string& text)
{
    for (char16_t character : text)
        if (character >= 0x80)
            return false;
    return true;
}

[[noreturn]] void ThrowTooLong()
{
    throw RuntimeError(RuntimeErrorNumber::InvalidProcedureCall, "", "a shortcut text is too long");
}

// Collects little-endian numbers, raw bytes and UTF-16 text into one byte string; knows nothing of the layout.
class Bytes {
public:
    void u8(std::uint8_t value) { data_ += static_cast<char>(value); }
    void u16(std::uint16_t value)
    {
        u8(static_cast<std::uint8_t>(value & 0xFF));
        u8(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value)
    {
        u16(static_cast<std::uint16_t>(value & 0xFFFF));
        u16(static_cast<std::uint16_t>(value >> 16));
    }
    void zeros(std::size_t count) { data_.append(count, '\0'); }
    void raw(const unsigned char* bytes, std::size_t count)
    {
        data_.append(reinterpret_cast<const char*>(bytes), count);
    }
    void raw(const std::string& bytes) { data_ += bytes; }
    void utf16(const std::u16string& text)
    {
        for (char16_t unit : text)
            u16(unit);
    }
    std::size_t size() const { return data_.size(); }
    const std::string& data() const { return data_; }

private:
    std::string data_;
};

// The drive letter form "X:\..." (or "X:/..."), the only targets an item list can describe.
bool IsDrivePath(const std::u16string& path)
{
    if (path.size() < 3 || path[1] != u':' || (path[2] != u'\\' && path[2] != u'/'))
        return false;
    const char16_t letter = path[0];
    return (letter >= u'A' && letter <= u'Z') || (letter >= u'a' && letter <= u'z');
}

std::vector<std::u16string> PathComponents(const std::u16string& rest)
{
    std::vector<std::u16string> components;
    std::u16string current;
    for (char16_t character : rest) {
        if (character == u'\\' || character == u'/') {
            if (!current.empty())
                components.push_back(current);
            current.clear();
        } else {
            current += character;
        }
    }
    if (!current.empty())
        components.push_back(current);
    return components;
}

// A file-entry item with zero size, time and attributes: what the shell writes for a path it cannot see.
// Names beyond ASCII are stored as UTF-16.
void WriteFileEntryItem(Bytes& out, const std::u16string& name, bool isLast)
{
    Bytes item;
    const bool unicode = !IsAscii(name);
    item.u8(static_cast<std::uint8_t>((isLast ? kFileItemType : kDirectoryItemType) | (unicode ? kUnicodeNameBit : 0)));
    item.u8(0);
    item.u32(0);  // size
    item.u16(0);  // modification date
    item.u16(0);  // modification time
    item.u16(0);  // attributes
    if (unicode) {
        item.utf16(name);
        item.u16(0);
    } else {
        for (char16_t character : name)
            item.u8(static_cast<std::uint8_t>(character));
        item.u8(0);
        if ((item.size() + 2) % 2 != 0)
            item.u8(0);
    }
    if (item.size() + 2 > kMaxCount)
        ThrowTooLong();
    out.u16(static_cast<std::uint16_t>(item.size() + 2));
    out.raw(item.data());
}

void WriteTargetIdList(Bytes& out, const std::u16string& target)
{
    Bytes list;
    list.raw(kMyComputerItem, sizeof kMyComputerItem);
    list.u16(static_cast<std::uint16_t>(kDriveItemSize));
    list.u8(kDriveItemType);
    list.u8(static_cast<std::uint8_t>(target[0]));
    list.raw(reinterpret_cast<const unsigned char*>(":\\"), 2);
    list.zeros(kDriveItemSize - 6);
    const std::vector<std::u16string> components = PathComponents(target.substr(3));
    for (std::size_t i = 0; i < components.size(); ++i)
        WriteFileEntryItem(list, components[i], i + 1 == components.size());
    list.u16(0);  // terminal item
    if (list.size() > kMaxCount)
        ThrowTooLong();
    out.u16(static_cast<std::uint16_t>(list.size()));
    out.raw(list.data());
}

// Link information with a fixed-drive volume and the target as local base path. The single-byte path is
// Windows-1252; where that cannot hold the path, the larger header points at UTF-16 copies as well.
void WriteLinkInfo(Bytes& out, const std::u16string& target)
{
    const std::optional<std::string> ansi = Windows1252Of(target);
    std::string ansiPath = ansi.value_or(std::string());
    if (!ansi)
        for (char16_t character : target)
            ansiPath += static_cast<char>(Windows1252Byte(character).value_or('?'));

    const std::uint32_t headerSize = ansi ? kLinkInfoHeaderSize : kLinkInfoHeaderSizeWithUnicode;
    constexpr std::uint32_t kVolumeIdSize = 0x11;
    const std::uint32_t volumeIdOffset = headerSize;
    const std::uint32_t localBasePathOffset = volumeIdOffset + kVolumeIdSize;
    const std::uint32_t commonPathSuffixOffset = localBasePathOffset + static_cast<std::uint32_t>(ansiPath.size()) + 1;
    const std::uint32_t localBasePathOffsetUnicode = commonPathSuffixOffset + 1;
    const std::uint32_t commonPathSuffixOffsetUnicode =
        localBasePathOffsetUnicode + 2 * static_cast<std::uint32_t>(target.size() + 1);
    const std::uint32_t size = ansi ? commonPathSuffixOffset + 1 : commonPathSuffixOffsetUnicode + 2;

    out.u32(size);
    out.u32(headerSize);
    out.u32(kVolumeIdAndLocalBasePath);
    out.u32(volumeIdOffset);
    out.u32(localBasePathOffset);
    out.u32(0);  // no network location
    out.u32(commonPathSuffixOffset);
    if (!ansi) {
        out.u32(localBasePathOffsetUnicode);
        out.u32(commonPathSuffixOffsetUnicode);
    }
    out.u32(kVolumeIdSize);
    out.u32(kDriveFixed);
    out.u32(0);     // serial number
    out.u32(0x10);  // the (empty) volume label follows the volume header
    out.u8(0);
    out.raw(ansiPath);
    out.u8(0);
    out.u8(0);  // empty common path suffix
    if (!ansi) {
        out.utf16(target);
        out.u16(0);
        out.u16(0);
    }
}

void WriteString(Bytes& out, const std::u16string& text)
{
    if (text.size() > kMaxCount)
        ThrowTooLong();
    out.u16(static_cast<std::uint16_t>(text.size()));
    out.utf16(text);
}

}  // namespace

IconLocationParts SplitIconLocation(const std::string& location)
{
    const auto comma = location.rfind(',');
    if (comma == std::string::npos)
        return {location, 0};
    IconLocationParts parts{location.substr(0, comma), 0};
    std::size_t at = comma + 1;
    while (at < location.size() && location[at] == ' ')
        ++at;
    bool negative = false;
    if (at < location.size() && (location[at] == '-' || location[at] == '+'))
        negative = location[at++] == '-';
    long long value = 0;
    for (; at < location.size() && location[at] >= '0' && location[at] <= '9'; ++at)
        value = std::min<long long>(value * 10 + (location[at] - '0'), static_cast<long long>(INT_MAX) + 1);
    value = negative ? -value : std::min<long long>(value, INT_MAX);
    parts.index = static_cast<std::int32_t>(value);
    return parts;
}

std::uint32_t ShowCommandFor(std::int16_t windowStyle)
{
    if (windowStyle == kShowMaximized || windowStyle == kShowMinNoActive)
        return static_cast<std::uint32_t>(windowStyle);
    return kShowNormal;
}

std::string ShellLinkBytes(const ShellLinkValues& values)
{
    const std::u16string target = Utf16Of(values.targetPath);
    const std::u16string workingDirectory = Utf16Of(values.workingDirectory);
    const std::u16string arguments = Utf16Of(values.arguments);
    const IconLocationParts icon = SplitIconLocation(values.iconLocation);
    const std::u16string iconPath = Utf16Of(icon.path);

    const bool hasIdList = IsDrivePath(target);
    std::uint32_t flags = kIsUnicode;
    if (hasIdList)
        flags |= kHasLinkTargetIdList;
    if (!target.empty())
        flags |= kHasLinkInfo;
    if (!workingDirectory.empty())
        flags |= kHasWorkingDir;
    if (!arguments.empty())
        flags |= kHasArguments;
    if (!iconPath.empty())
        flags |= kHasIconLocation;

    Bytes out;
    out.u32(kHeaderSize);
    out.raw(kLinkClsid, sizeof kLinkClsid);
    out.u32(flags);
    out.u32(0);    // file attributes: unknown
    out.zeros(24); // creation, access and write times: not set
    out.u32(0);    // file size
    out.u32(static_cast<std::uint32_t>(icon.index));
    out.u32(ShowCommandFor(values.windowStyle));
    out.u16(0);    // no hot key
    out.zeros(10); // reserved

    if (hasIdList)
        WriteTargetIdList(out, target);
    if (!target.empty())
        WriteLinkInfo(out, target);
    if (!workingDirectory.empty())
        WriteString(out, workingDirectory);
    if (!arguments.empty())
        WriteString(out, arguments);
    if (!iconPath.empty())
        WriteString(out, iconPath);
    out.u32(0);  // terminal block: no extra data
    return out.data();
}

}  // namespace velmora
