// The application-lookup library's entry point: the GIO lookups behind the Linux platform's editor, file
// manager and browser.

#include "shell/linux/application_lookup.h"
#include "shell/linux/desktop/default_applications.h"

namespace velmora::linux_platform {

namespace {

class GioApplicationLookup final : public ApplicationLookup {
public:
    std::string contentTypeOfFile(const std::string& nativePath) override { return ContentTypeOfFile(nativePath); }

    std::optional<DefaultApplication> defaultApplicationFor(const std::string& contentType,
                                                            bool exactTypeOnly) override
    {
        return DefaultApplicationFor(contentType, exactTypeOnly);
    }
};

}  // namespace

}  // namespace velmora::linux_platform

extern "C" __attribute__((visibility("default"))) velmora::linux_platform::ApplicationLookup*
velmora_open_application_lookup()
{
    return new velmora::linux_platform::GioApplicationLookup();
}
