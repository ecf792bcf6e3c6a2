// Prints, one per line, what the Windows platform reports about the running program: the text after its
// path on the command line (in brackets, so that blanks show), its path and its folder.

#include <cstdio>

#include "shell/windows/windows_platform.h"

int main()
{
    velmora::windows_platform::WindowsPlatform platform;
    std::printf("[%s]\n%s\n%s\n", platform.commandLine().c_str(), platform.programPath().c_str(),
                platform.programFolder().c_str());
    return 0;
}
