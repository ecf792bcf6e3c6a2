// Stays in the tests' Wine session for at most ten minutes and does nothing else. While a program of its
// own runs, Wine keeps its services (COM's among them) running between two test programs instead of
// stopping them and starting them again, which costs about ten seconds each time.

#include <windows.h>

int main()
{
    ::Sleep(10 * 60 * 1000);
    return 0;
}
