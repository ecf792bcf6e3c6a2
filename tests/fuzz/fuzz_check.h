#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace velmora::fuzz {

// A broken promise is a finding: it is reported and the run stops, so that libFuzzer keeps the input.
inline void Check(bool holds, std::string_view promise)
{
    if (holds)
        return;
    std::fprintf(stderr, "broken promise: %.*s\n", static_cast<int>(promise.size()), promise.data());
    std::abort();
}

}  // namespace velmora::fuzz
