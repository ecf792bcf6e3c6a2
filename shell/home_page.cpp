#include "shell/home_page.h"

#include "velmora/home_page_config.h"

namespace velmora {

std::string HomePageUrl()
{
    return kConfiguredHomePageUrl;
}

std::string HostNameOf(const std::string& url)
{
    const auto authorityStart = url.find("//");
    const std::size_t start = authorityStart == std::string::npos ? 0 : authorityStart + 2;
    const auto end = url.find_first_of("/?#", start);
    std::string host = url.substr(start, end == std::string::npos ? std::string::npos : end - start);

    const auto userEnd = host.rfind('@');
    if (userEnd != std::string::npos)
        host.erase(0, userEnd + 1);
    // A port follows a colon; an IPv6 address keeps the colons inside its brackets.
    const auto hostEnd = !host.empty() && host.front() == '[' ? host.find(']') : host.find(':');
    if (hostEnd != std::string::npos)
        host.erase(host.front() == '[' ? hostEnd + 1 : hostEnd);
    return host;
}

std::string HomePageHostName()
{
    return HostNameOf(HomePageUrl());
}

}  // namespace velmora
