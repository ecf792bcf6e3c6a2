#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>

#include "shell/runtime_error.h"
#include "shell/shell_link.h"

namespace velmora {
namespace {

std::uint32_t U32At(const std::string& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(offset + i))) << (8 * i);
    return value;
}

std::uint16_t U16At(const std::string& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes.at(offset)) |
                                      static_cast<unsigned char>(bytes.at(offset + 1)) << 8);
}

// Offsets of the header fields.
constexpr std::size_t kLinkFlags = 0x14;
constexpr std::size_t kIconIndex = 0x38;
constexpr std::size_t kShowCommand = 0x3C;

// The start of the link information: after the header and the item list, when there is one.
std::size_t LinkInfoOffset(const std::string& bytes)
{
    return 0x4C + ((U32At(bytes, kLinkFlags) & 0x01) ? 2 + U16At(bytes, 0x4C) : 0);
}

TEST(ShellLinkBytes, HeaderFieldsAndFlagsFollowTheValues)
{
    struct Case {
        const char* what;
        ShellLinkValues values;
        std::uint32_t flags;
        std::int32_t iconIndex;
        std::uint32_t showCommand;
        std::uint32_t linkInfoHeaderSize;  // 0: no link information
    };
    // clang-format off
    const Case cases[] = {
        {"drive path, everything set", {"C:\\Tools\\app.exe", "C:\\Tools", 0, "work", "C:\\Tools\\app.exe,0"},
         0xF3, 0, 1, 0x1C},
        {"native path: no item list", {"/usr/bin/velmora", "/usr/bin", 0, "my work", "/usr/bin/velmora,0"},
         0xF2, 0, 1, 0x1C},
        {"no arguments, no working directory", {"C:\\a.exe", "", 1, "", "C:\\a.exe,2"}, 0xC3, 2, 1, 0x1C},
        {"nothing at all", {"", "", 0, "", ""}, 0x80, 0, 1, 0},
        {"icon file empty, index kept", {"C:\\a.exe", "", 0, "", ",4"}, 0x83, 4, 1, 0x1C},
        {"maximised", {"C:\\a.exe", "", 3, "", ""}, 0x83, 0, 3, 0x1C},
        {"minimised without focus", {"C:\\a.exe", "", 7, "", ""}, 0x83, 0, 7, 0x1C},
        {"minimised with focus is normal", {"C:\\a.exe", "", 2, "", ""}, 0x83, 0, 1, 0x1C},
        {"negative style is normal", {"C:\\a.exe", "", -1, "", ""}, 0x83, 0, 1, 0x1C},
        {"Windows-1252 letters fit the short header", {"C:\\Grüße\\€.exe", "", 0, "", ""}, 0x83, 0, 1, 0x1C},
        {"other letters need the Unicode copies", {"C:\\日本\\a.exe", "", 0, "", ""}, 0x83, 0, 1, 0x24},
        {"Greek on a native path", {"/opt/Ωmega/bin", "", 0, "", ""}, 0x82, 0, 1, 0x24},
    };
    // clang-format on
    const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    for (const auto& c : cases) {
        const std::string bytes = ShellLinkBytes(c.values);
        ASSERT_GE(bytes.size(), 0x4Cu + 4) << c.what;
        EXPECT_EQ(U32At(bytes, 0), 0x4Cu) << c.what;
        EXPECT_EQ(std::memcmp(bytes.data() + 4, clsid, 16), 0) << c.what;
        EXPECT_EQ(U32At(bytes, kLinkFlags), c.flags) << c.what;
        EXPECT_EQ(static_cast<std::int32_t>(U32At(bytes, kIconIndex)), c.iconIndex) << c.what;
        EXPECT_EQ(U32At(bytes, kShowCommand), c.showCommand) << c.what;
        EXPECT_EQ(bytes.substr(0x18, 0x20), std::string(0x20, '\0')) << c.what << ": attributes, times, size";
        EXPECT_EQ(bytes.substr(0x40, 12), std::string(12, '\0')) << c.what << ": hot key and reserved";
        EXPECT_EQ(U32At(bytes, bytes.size() - 4), 0u) << c.what << ": terminal block";
        if (c.linkInfoHeaderSize != 0) {
            const std::size_t linkInfo = LinkInfoOffset(bytes);
            EXPECT_EQ(U32At(bytes, linkInfo + 4), c.linkInfoHeaderSize) << c.what;
            EXPECT_EQ(U32At(bytes, linkInfo + 8), 1u) << c.what << ": volume and local base path";
        }
    }
}

TEST(ShellLinkBytes, DrivePathItemListNamesMyComputerTheDriveAndEachComponent)
{
    const std::string bytes = ShellLinkBytes({"C:\\Tools\\app.exe", "", 0, "", ""});
    const std::size_t listSize = U16At(bytes, 0x4C);
    const std::string list = bytes.substr(0x4E, listSize);
    // clang-format off
    const std::string myComputer(
        "\x14\x00\x1F\x50\xE0\x4F\xD0\x20\xEA\x3A\x69\x10\xA2\xD8\x08\x00\x2B\x30\x30\x9D", 20);
    EXPECT_EQ(list.substr(0, 20), myComputer);
    EXPECT_EQ(list.substr(20, 6), std::string("\x19\x00\x2F" "C:\\", 6));
    // clang-format on
    EXPECT_EQ(list.substr(26, 19), std::string(19, '\0'));
    // "Tools": directory item, 14 bytes of fields, the name and its NUL, padded to even length.
    EXPECT_EQ(U16At(list, 45), 20);
    EXPECT_EQ(list[47], '\x31');
    EXPECT_EQ(list.substr(59, 6), std::string("Tools\0", 6));
    // "app.exe": file item.
    EXPECT_EQ(U16At(list, 65), 22);
    EXPECT_EQ(list[67], '\x32');
    EXPECT_EQ(list.substr(79, 8), std::string("app.exe\0", 8));
    EXPECT_EQ(U16At(list, 87), 0);
    EXPECT_EQ(list.size(), 89u);
}

TEST(ShellLinkBytes, RefusesATextLongerThanALinkCanHold)
{
    const std::string longText(70000, 'a');
    EXPECT_THROW(ShellLinkBytes({"C:\\a.exe", "", 0, longText, ""}), RuntimeError);
    EXPECT_NO_THROW(ShellLinkBytes({"C:\\a.exe", "", 0, std::string(65535, 'a'), ""}));
}

TEST(SplitIconLocation, TakesThePathBeforeTheLastCommaAndANumberAfterIt)
{
    struct Case {
        std::string location;
        std::string path;
        std::int32_t index;
    };
    const Case cases[] = {
        {"C:\\Tools\\app.exe,0", "C:\\Tools\\app.exe", 0},
        {"notepad.exe, 5", "notepad.exe", 5},
        {"C:\\a,b\\x.exe,-3", "C:\\a,b\\x.exe", -3},
        {"x.exe,+7", "x.exe", 7},
        {"x.exe,12abc", "x.exe", 12},
        {"x.exe,", "x.exe", 0},
        {"x.exe,abc", "x.exe", 0},
        {"x.exe", "x.exe", 0},
        {"x.exe,99999999999", "x.exe", INT_MAX},
        {"x.exe,-99999999999", "x.exe", INT_MIN},
        {"", "", 0},
    };
    for (const auto& c : cases) {
        const IconLocationParts parts = SplitIconLocation(c.location);
        EXPECT_EQ(parts.path, c.path) << c.location;
        EXPECT_EQ(parts.index, c.index) << c.location;
    }
}

}  // namespace
}  // namespace velmora
