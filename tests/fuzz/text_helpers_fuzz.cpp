// The text and path helpers: case mapping, trimming, replacing, the path parts and the encodings, each held
// to what it promises for any bytes, and to its round trip where it has one.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "shell/paths.h"
#include "shell/string_ops.h"
#include "shell/text_encoding.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using velmora::fuzz::Check;

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

void CheckCaseAndBlanks(const std::string& text)
{
    const std::string upper = velmora::UpperCaseAscii(text);
    const std::string lower = velmora::LowerCaseAscii(text);
    Check(upper.size() == text.size() && lower.size() == text.size(), "case mapping keeps the length");
    for (std::size_t i = 0; i < text.size(); ++i)
        Check(IsAsciiLetter(text[i]) || (upper[i] == text[i] && lower[i] == text[i]),
              "case mapping changes ASCII letters only");
    Check(velmora::LowerCaseAscii(upper) == lower, "upper then lower case is lower case");

    const std::string trimmed = velmora::TrimBlanks(text);
    Check(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '), "no blank is left at either end");
    Check(text.find(trimmed) != std::string::npos, "trimming only takes blanks away");
    Check(velmora::TrimBlanks(trimmed) == trimmed, "trimming twice changes nothing");
}

void CheckReplace(const std::string& text, const std::string& find, const std::string& replacement, bool matchCase)
{
    std::string findText = find;
    const std::string replaced = velmora::ReplaceText(text, findText, replacement, matchCase);
    const std::string searched = matchCase ? text : velmora::UpperCaseAscii(text);
    if (findText.empty() || searched.find(findText) == std::string::npos)
        Check(replaced == text, "a text without the find text comes back unchanged");
}

void CheckPath(const std::string& path)
{
    const std::string directory = velmora::DirectoryPartOf(path);
    const std::string last = velmora::LastPartOf(path);
    Check(directory + last == path, "the folder part and the last part make the path again");
    Check(last.find_first_of("\\/") == std::string::npos, "the last part holds no separator");

    const std::string ended = velmora::EnsureTrailingSeparator(path);
    Check(velmora::EnsureTrailingSeparator(ended) == ended, "a path that ends in a separator keeps it as it is");
    const bool quoted = !path.empty() && path.back() == '"';
    const std::string unquoted = quoted ? path.substr(0, path.size() - 1) : path;
    Check(ended.compare(0, unquoted.size(), unquoted) == 0, "only a separator is added");

    const std::string argument = velmora::QuotePathIfSpaced(path);
    const std::string trimmed = velmora::TrimBlanks(path);
    if (trimmed.empty())
        Check(argument == path, "a path of blanks only comes back unchanged");
    else
        Check(argument == trimmed || argument == '"' + trimmed + '"', "quoting only trims and wraps");
}

void CheckEncodings(const std::string& text)
{
    for (std::size_t at = 0; at < text.size(); ++at) {
        char32_t codePoint = 0;
        const std::size_t length = velmora::DecodeUtf8(text, at, codePoint);
        Check(length == 0 || (length >= 2 && length <= 4 && at + length <= text.size()),
              "a UTF-8 sequence lies inside the text");
        if (length != 0) {
            const std::size_t shortest = codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
            Check(shortest == length && codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF),
                  "a decoded sequence is a character in its shortest form");
        }
    }
    const std::u16string wide = velmora::Utf16Of(text);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const bool high = wide[i] >= 0xD800 && wide[i] <= 0xDBFF;
        const bool low = wide[i] >= 0xDC00 && wide[i] <= 0xDFFF;
        Check(!low || (i > 0 && wide[i - 1] >= 0xD800 && wide[i - 1] <= 0xDBFF), "no lone low surrogate");
        Check(!high || (i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF),
              "no lone high surrogate");
    }
    // Bytes that form no UTF-8 are Windows-1252 characters, and come back as the same bytes.
    bool anyUtf8 = false;
    for (std::size_t at = 0; at < text.size() && !anyUtf8; ++at) {
        char32_t ignored = 0;
        anyUtf8 = velmora::DecodeUtf8(text, at, ignored) != 0;
    }
    if (!anyUtf8)
        Check(velmora::Windows1252Of(wide) == text, "Windows-1252 text survives its way through UTF-16");
    for (const char16_t character : wide)
        if (const auto byte = velmora::Windows1252Byte(character))
            Check(velmora::Windows1252Character(*byte) == character, "a Windows-1252 byte stands for its character");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool matchCase = input.ConsumeBool();
    const std::string find = input.ConsumeRandomLengthString(16);
    const std::string replacement = input.ConsumeRandomLengthString(16);
    const std::string text = input.ConsumeRemainingBytesAsString();
    CheckCaseAndBlanks(text);
    CheckReplace(text, find, replacement, matchCase);
    CheckPath(text);
    CheckEncodings(text);
    return 0;
}
