#include "tests/windows/support/win_temp_directory.h"

#include <windows.h>

#include <stdexcept>

namespace velmora::windows_testing {

WinTempDirectory::WinTempDirectory()
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

WinTempDirectory::~WinTempDirectory()
{
    RemoveTree(path_);
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found {};
    const HANDLE search = ::FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(child);
            else if (!::DeleteFileA(child.c_str()))
                ::RemoveDirectoryA(child.c_str());
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(path.c_str());
}

void WriteBytes(const std::string& path, const std::string& content)
{
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(file);
    if (!ok || written != content.size())
        throw std::runtime_error("cannot write " + path);
}

std::string ReadBytes(const std::string& path)
{
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot read " + path);
    std::string content;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    ::CloseHandle(file);
    return content;
}

unsigned long AttributesOf(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str());
}

std::map<std::string, std::string> HostsFiles()
{
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA found {};
    const HANDLE search = ::FindFirstFileA((kRealHostsDir + "hosts*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do
        files[found.cFileName] = ReadBytes(kRealHostsDir + found.cFileName);
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return files;
}

void ReplaceHostsFiles(const std::map<std::string, std::string>& files)
{
    for (const auto& [name, content] : HostsFiles()) {
        ::SetFileAttributesA((kRealHostsDir + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA((kRealHostsDir + name).c_str());
    }
    for (const auto& [name, content] : files)
        WriteBytes(kRealHostsDir + name, content);
}

}  // namespace velmora::windows_testing
