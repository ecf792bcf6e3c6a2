#pragma once

#include <ostream>

#include "shell/runtime_error.h"

namespace velmora {

// A failing test shows a run-time error number as the number the report would show.
inline void PrintTo(RuntimeErrorNumber number, std::ostream* out)
{
    *out << static_cast<int>(number);
}

namespace testing {

// The run-time error number an action throws; InternalError when it throws none, which no test expects.
template <typename Action>
RuntimeErrorNumber ErrorOf(Action&& action)
{
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return RuntimeErrorNumber::InternalError;
}

}  // namespace testing
}  // namespace velmora
