#pragma once

#include <optional>
#include <string>

#include "shell/linux/desktop_entry_exec.h"

namespace velmora::linux_platform {

// The user's default applications, as the desktop's MIME associations (GIO) name them. Lives in a library of
// its own, loaded on the first lookup, so that neither a switch nor the window's start loads GIO. Needs no
// display. Holds no program logic.
class ApplicationLookup {
public:
    virtual ~ApplicationLookup() = default;
    // The content type of an existing native file.
    virtual std::string contentTypeOfFile(const std::string& nativePath) = 0;
    // The user's default application for a content type (see DefaultApplicationFor for exactTypeOnly).
    virtual std::optional<DefaultApplication> defaultApplicationFor(const std::string& contentType,
                                                                    bool exactTypeOnly) = 0;
};

}  // namespace velmora::linux_platform

// The one symbol the application-lookup library exports.
extern "C" velmora::linux_platform::ApplicationLookup* velmora_open_application_lookup();
inline constexpr char kOpenApplicationLookupSymbol[] = "velmora_open_application_lookup";
