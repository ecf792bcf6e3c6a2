#include "shell/string_ops.h"

#include <algorithm>

namespace velmora {

std::string UpperCaseAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

std::string LowerCaseAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

std::string TrimBlanks(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string ReplaceText(std::string text, std::string& findText, const std::string& replacement,
                        const bool& matchCase)
{
    // Positions below are 0-based; the classic routine counts from 1, which only shifts every index by one.
    auto searchCopyOf = [&](const std::string& current) { return matchCase ? current : UpperCaseAscii(current); };
    if (!matchCase)
        findText = UpperCaseAscii(findText);
    if (findText.empty())
        return text;

    std::string searchCopy = searchCopyOf(text);
    std::size_t searchFrom = 0;
    for (;;) {
        const std::size_t found = searchCopy.find(findText, searchFrom);
        if (found == std::string::npos)
            break;
        text = text.substr(0, found) + replacement + text.substr(found + findText.size());
        searchCopy = searchCopyOf(text);
        // One past the end of the inserted replacement: an occurrence right after it is skipped.
        searchFrom = found + replacement.size() + 1;
        if (searchFrom >= text.size())
            break;
        // The loop continues only while the text itself, in its own case, still holds the find text.
        if (text.find(findText, searchFrom) == std::string::npos)
            break;
    }
    return text;
}

std::string BoxTextWithLineFeeds(std::string text)
{
    for (char& c : text)
        if (c == '\r')
            c = '\n';
    return text;
}

}  // namespace velmora
