#include "shell/text_encoding.h"

namespace velmora {

namespace {

// Windows-1252 at 0x80..0x9F; the five unassigned bytes stand for the C1 control of the same number.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

char16_t Windows1252Character(unsigned char byte)
{
    return (byte >= 0x80 && byte <= 0x9F) ? kWindows1252High[byte - 0x80] : char16_t(byte);
}

std::optional<unsigned char> Windows1252Byte(char16_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<unsigned char>(character);
    for (unsigned byte = 0x80; byte <= 0x9F; ++byte)
        if (kWindows1252High[byte - 0x80] == character)
            return static_cast<unsigned char>(byte);
    return std::nullopt;
}

std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& codePoint)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

std::u16string Utf16Of(std::string_view text)
{
    std::u16string result;
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        char32_t codePoint = 0;
        const std::size_t length = byte < 0x80 ? 0 : DecodeUtf8(text, at, codePoint);
        if (length == 0) {
            result += Windows1252Character(byte);
            ++at;
        } else if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            result += static_cast<char16_t>(0xD800 + (codePoint >> 10));
            result += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
            at += length;
        } else {
            result += static_cast<char16_t>(codePoint);
            at += length;
        }
    }
    return result;
}

std::optional<std::string> Windows1252Of(const std::u16string& text)
{
    std::string result;
    for (char16_t character : text) {
        const auto byte = Windows1252Byte(character);
        if (!byte)
            return std::nullopt;
        result += static_cast<char>(*byte);
    }
    return result;
}

}  // namespace velmora
