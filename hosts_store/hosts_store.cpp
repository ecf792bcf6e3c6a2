#include "hosts_store/hosts_store.h"

#include <cstring>

#include "main_window/form1_view.h"
#include "shell/paths.h"
#include "shell/platform.h"
#include "shell/string_ops.h"
#include "shell/windows_system.h"

namespace velmora {

std::string BuildHostsDir()
{
    return EnsureTrailingSeparator(GetWindowsDir()) + "System32\\drivers\\etc\\";
}

std::string FileLookup::first(const std::string& pattern)
{
    matches_ = platform_.findFiles(pattern);
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

std::string LineCopyContent(const std::string& source, bool header, const std::string& name)
{
    std::string out;
    if (header && !name.empty())
        out += "#   --  " + name + "  --\r\n#\r\n";
    out.reserve(out.size() + source.size() + source.size() / 16 + 2);

    // Lines end at CR (taking a following LF with it). Copy each line and give it CR LF.
    std::size_t lineStart = 0;
    const std::size_t size = source.size();
    while (lineStart < size) {
        const void* found = std::memchr(source.data() + lineStart, '\r', size - lineStart);
        const std::size_t lineEnd = found ? static_cast<std::size_t>(static_cast<const char*>(found) - source.data())
                                          : size;
        out.append(source, lineStart, lineEnd - lineStart);
        out += "\r\n";
        lineStart = lineEnd + 1;
        if (found && lineStart < size && source[lineStart] == '\n')
            ++lineStart;
    }
    return out;
}

void CopyHostFile(Platform& platform, const std::string& source, const std::string& destination, bool header,
                  const std::string& name)
{
    const std::string content = platform.readTextFile(source);
    platform.replaceTextFile(destination, LineCopyContent(content, header, name));
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

void RefreshVariantList(Form1View& view, Platform& platform, const std::string& hostsDir)
{
    view.clearList();
    for (const std::string& entry : ListVariants(platform, hostsDir))
        view.addListEntry(entry);
}

}  // namespace velmora
