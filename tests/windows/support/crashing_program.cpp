// Ends with an unhandled access violation and does nothing else: the Wine set-up must let such a program
// end at once (its test fails) instead of leaving it waiting in a crash debugger until CI gives up.

#include <windows.h>

int main()
{
    ::RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    return 0;
}
