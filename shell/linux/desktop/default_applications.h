#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shell/linux/desktop_entry_exec.h"

namespace velmora::linux_platform {

// The content type of an existing file, by its name and, where needed, its first bytes ("text/plain").
std::string ContentTypeOfFile(const std::string& nativePath);

// The default application for a content type. GIO falls back to a parent type's default (text/html to the
// text/plain editor); with exactTypeOnly such a fallback does not count, and the first application that
// declares the type itself is taken instead. Nothing when no application fits.
std::optional<DefaultApplication> DefaultApplicationFor(const std::string& contentType, bool exactTypeOnly);

}  // namespace velmora::linux_platform
