#pragma once

#include <optional>
#include <string>

namespace velmora {

class Platform;

// The variant name a desktop shortcut passes on its command line for a list entry: the entry without its
// leading "hosts." (in any case), and nothing else removed. Unlike the name Frame1 shows, a "hosts." later
// in the entry stays, so the shortcut names the very file that was selected.
std::string ShortcutVariantName(const std::string& entry);

// Why a shortcut for an entry would not switch to that entry's file, as the text of the refusal box; nothing
// when it would. An empty name is not judged here: it has its own message.
std::optional<std::string> ShortcutRefusal(const std::string& entry);

// What " Create Desktop Shortcut.." does with the selected entry: puts Hosts-<name>.lnk on the desktop,
// starting the program with the variant name as its whole command line, and confirms it. With no name it
// says "Not Linkname found"; for a name the command-line switch would not lead back to the selected file it
// says why and writes nothing. A failure of the platform passes to the caller before any confirmation.
void CreateVariantShortcut(Platform& platform, const std::string& entry);

}  // namespace velmora
