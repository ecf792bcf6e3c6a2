// Stands in for a program that the system starts (the web browser of the test prefix): it writes the
// command line it was started with, unparsed, to a file beside itself (its own path with ".txt" added)
// and ends.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH + 8] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    ::lstrcatA(path, ".txt");
    const HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const char* line = ::GetCommandLineA();
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, line, static_cast<DWORD>(::lstrlenA(line)), &written, nullptr);
    ::CloseHandle(file);
    return ok ? 0 : 1;
}
