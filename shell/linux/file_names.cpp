#include "shell/linux/file_names.h"

#include <clocale>
#include <cwctype>
#include <locale.h>

#include "shell/text_encoding.h"

namespace velmora::linux_platform {

namespace {

// Characters that are not valid UTF-8 are kept as a private-use unit carrying the byte, so they compare
// exactly and never equal a real character.
constexpr char32_t kRawByteBase = 0x10FF00;

locale_t Utf8CaseLocale()
{
    // C.UTF-8 carries the full Unicode case tables in glibc and does not depend on the user's locale.
    static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return locale;
}

char32_t UpperCase(char32_t c)
{
    if (c < 0x80)
        return (c >= U'a' && c <= U'z') ? c - U'a' + U'A' : c;
    if (c >= kRawByteBase)
        return c;
    const locale_t locale = Utf8CaseLocale();
    if (locale == static_cast<locale_t>(nullptr))
        return c;
    return static_cast<char32_t>(::towupper_l(static_cast<wint_t>(c), locale));
}

// Decodes one UTF-8 sequence at `at`; returns the code point and advances `at`. Invalid or overlong
// sequences give one raw-byte unit.
char32_t DecodeOne(std::string_view text, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    char32_t codePoint = lead;
    const std::size_t length = lead < 0x80 ? 1 : DecodeUtf8(text, at, codePoint);
    if (length == 0) {
        ++at;
        return kRawByteBase + lead;
    }
    at += length;
    return codePoint;
}

bool MatchFolded(std::u32string_view pattern, std::u32string_view name)
{
    // Classic linear wildcard matching: remember the last `*` and retry from one character further on.
    std::size_t p = 0, n = 0, star = std::u32string_view::npos, starName = 0;
    while (n < name.size()) {
        // A `*` is a wildcard even where the name holds a `*`: taken as a literal it would leave no way back.
        if (p < pattern.size() && pattern[p] == U'*') {
            star = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (star != std::u32string_view::npos) {
            p = star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

}  // namespace

std::u32string FoldedName(std::string_view name)
{
    std::u32string folded;
    folded.reserve(name.size());
    for (std::size_t at = 0; at < name.size();)
        folded.push_back(UpperCase(DecodeOne(name, at)));
    return folded;
}

std::string CaseBlindKey(std::string_view name)
{
    std::string key;
    for (const char32_t unit : FoldedName(name))
        for (int shift = 24; shift >= 0; shift -= 8)
            key.push_back(static_cast<char>((unit >> shift) & 0xFF));
    return key;
}

bool NamesEqualIgnoringCase(std::string_view a, std::string_view b)
{
    return a == b || FoldedName(a) == FoldedName(b);
}

bool NameLessIgnoringCase(std::string_view a, std::string_view b)
{
    const std::u32string foldedA = FoldedName(a);
    const std::u32string foldedB = FoldedName(b);
    if (foldedA != foldedB)
        return foldedA < foldedB;
    return a < b;
}

bool WildcardMatch(std::string_view pattern, std::string_view name)
{
    const std::u32string foldedPattern = FoldedName(pattern);
    const std::u32string foldedName = FoldedName(name);
    if (MatchFolded(foldedPattern, foldedName))
        return true;
    const bool endsInDotStar = foldedPattern.size() >= 2 && foldedPattern.compare(foldedPattern.size() - 2, 2, U".*") == 0;
    if (endsInDotStar && foldedName.find(U'.') == std::u32string::npos)
        return MatchFolded(std::u32string_view(foldedPattern).substr(0, foldedPattern.size() - 2), foldedName);
    return false;
}

}  // namespace velmora::linux_platform
