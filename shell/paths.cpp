#include "shell/paths.h"

#include "shell/string_ops.h"

namespace velmora {

std::string EnsureTrailingSeparator(std::string path)
{
    if (path.empty())
        return path;
    const bool quoted = path.back() == '"';
    if (quoted)
        path.pop_back();
    if (path.find('\\') != std::string::npos) {
        if (path.empty() || path.back() != '\\')
            path += '\\';
    } else if (path.find('/') != std::string::npos) {
        if (path.back() != '/')
            path += '/';
    }
    if (quoted)
        path += '"';
    return path;
}

std::string QuotePathIfSpaced(const std::string& path)
{
    const std::string trimmed = TrimBlanks(path);
    if (trimmed.empty())
        return path;
    if (trimmed.find('"') == std::string::npos && trimmed.find(' ') != std::string::npos)
        return '"' + trimmed + '"';
    return trimmed;
}

std::string DirectoryPartOf(const std::string& path, const char* separators)
{
    const auto separator = path.find_last_of(separators);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string LastPartOf(const std::string& path, const char* separators)
{
    const auto separator = path.find_last_of(separators);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace velmora
