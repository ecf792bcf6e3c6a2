#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::linux_platform {

// File operations on native paths, as bytes, never following a symlink at the last component. A file whose
// write bits are all clear counts as read-only and is refused for writing, also for root. Failures throw
// RuntimeError with the native path.

std::string ReadWholeFile(const std::string& path);

// Replaces a file so that it holds its old or its new content at every moment, also across a crash: the
// new content goes to a hidden temporary sibling that is synced and renamed over the file, keeping its
// mode and owner. Where the file cannot be renamed over (a bind mount), it is rewritten in place.
// `executable` adds execute permission wherever the file may be read (for launchers).
void ReplaceFileAtomically(const std::string& path, const std::vector<std::string_view>& content,
                           bool executable = false);

// Appends to a file, creating it when missing.
void AppendToFile(const std::string& path, const std::string& content);

// Creates a file with the content only when nothing of that name exists. False when something did.
bool CreateFileIfAbsent(const std::string& path, const std::string& content);

void DeleteFile(const std::string& path);

}  // namespace velmora::linux_platform
