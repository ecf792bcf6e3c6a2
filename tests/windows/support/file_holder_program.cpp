// Holds a file open as another program would, until its standard input closes:
//   velmora_file_holder PATH SHARING
// SHARING is any of the letters r, w and d (read, write and delete sharing) or "-" for none; the file is
// opened for reading and writing. Prints "held" once it holds the file, or "failed <error>".

#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const std::string sharing = argv[2];
    DWORD share = 0;
    share |= sharing.find('r') != std::string::npos ? FILE_SHARE_READ : 0;
    share |= sharing.find('w') != std::string::npos ? FILE_SHARE_WRITE : 0;
    share |= sharing.find('d') != std::string::npos ? FILE_SHARE_DELETE : 0;
    const HANDLE file = ::CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("failed %lu\n", ::GetLastError());
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    char ignored[64];
    DWORD got = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), ignored, sizeof ignored, &got, nullptr) && got > 0) {
    }
    ::CloseHandle(file);
    return 0;
}
