#pragma once

#include <string>

namespace velmora {

// The maker's home page, which the link label opens. Fixed when the program is built (the CMake cache
// variable VELMORA_HOMEPAGE_URL); nothing at run time changes it.
std::string HomePageUrl();

// The host name of a URL: what follows "//" up to the next "/", "?" or "#", without a user part and without
// a port. A URL without "//" is read from its start.
std::string HostNameOf(const std::string& url);

// The link label's caption: the home page's host name.
std::string HomePageHostName();

}  // namespace velmora
