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

}  // namespace velmora
