#include "tests/support/temp_directory.h"

#include <windows.h>

#include <stdexcept>

#include "tests/windows/support/win_files.h"

// The temporary folder on Windows: under the Windows temporary folder, its paths with backslashes; removed
// through the wide calls, so that names outside the code page go too.

namespace velmora::testing {

using windows_testing::Utf8Of;
using windows_testing::WideOf;

TempDirectory::TempDirectory()
{
    char base[MAX_PATH + 1] = {};
    ::GetTempPathA(sizeof base, base);
    static unsigned counter = 0;
    for (;;) {
        path_ = std::string(base) + "velmora-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
                std::to_string(counter++);
        if (::CreateDirectoryA(path_.c_str(), nullptr))
            return;
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create " + path_);
    }
}

TempDirectory::~TempDirectory()
{
    RemoveTree(path_);
}

std::string TempDirectory::operator/(const std::string& name) const
{
    return path_ + "\\" + name;
}

void RemoveTree(const std::string& path)
{
    const std::wstring folder = WideOf(path);
    WIN32_FIND_DATAW found {};
    const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = folder + L"\\" + name;
            ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(Utf8Of(child));
            else if (!::DeleteFileW(child.c_str()))
                ::RemoveDirectoryW(child.c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace velmora::testing
