#include "tests/windows/support/win_files.h"

#include <windows.h>

#include <stdexcept>

namespace velmora::windows_testing {

std::wstring WideOf(const std::string& path)
{
    for (const UINT codePage : {static_cast<UINT>(CP_UTF8), static_cast<UINT>(CP_ACP)}) {
        const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        const int length = ::MultiByteToWideChar(codePage, flags, path.c_str(), -1, nullptr, 0);
        if (length <= 0)
            continue;
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        ::MultiByteToWideChar(codePage, flags, path.c_str(), -1, wide.data(), length);
        wide.pop_back();
        return wide;
    }
    return {};
}

std::string WindowsPathOfBuiltFile(std::string unixPath)
{
    for (char& c : unixPath)
        if (c == '/')
            c = '\\';
    return "Z:" + unixPath;
}

std::string Utf8Of(const std::wstring& text)
{
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), length, nullptr, nullptr);
    utf8.pop_back();
    return utf8;
}

void WriteBytes(const std::string& path, const std::string& content)
{
    const HANDLE file = ::CreateFileW(WideOf(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
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
    const HANDLE file = ::CreateFileW(WideOf(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
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
    return ::GetFileAttributesW(WideOf(path).c_str());
}

std::map<std::string, std::string> HostsFiles()
{
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAW found {};
    const HANDLE search = ::FindFirstFileW((WideOf(kRealHostsDir) + L"hosts*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do
        files[Utf8Of(found.cFileName)] = ReadBytes(kRealHostsDir + Utf8Of(found.cFileName));
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return files;
}

std::map<std::string, std::string> KeptCopiesOfHosts(const std::string& folder)
{
    std::map<std::string, std::string> copies;
    WIN32_FIND_DATAW found {};
    const HANDLE search = ::FindFirstFileW((WideOf(folder) + L".hosts~kept-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return copies;
    do {
        // ".hosts~kept-" and the stamp YYYYMMDD-HHMMSS-UUUUUU
        const std::string name = Utf8Of(found.cFileName);
        bool stamped = name.size() == 12 + 22;
        for (std::size_t at = 12; stamped && at < name.size(); ++at)
            stamped = (at == 20 || at == 27) ? name[at] == '-' : (name[at] >= '0' && name[at] <= '9');
        if (stamped && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            copies[name] = ReadBytes(folder + name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return copies;
}

void ReplaceHostsFiles(const std::map<std::string, std::string>& files)
{
    for (const auto& [name, content] : KeptCopiesOfHosts(kRealHostsDir)) {
        const std::wstring path = WideOf(kRealHostsDir + name);
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path.c_str());
    }
    for (const auto& [name, content] : HostsFiles()) {
        const std::wstring path = WideOf(kRealHostsDir + name);
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path.c_str());
    }
    for (const auto& [name, content] : files)
        WriteBytes(kRealHostsDir + name, content);
}

}  // namespace velmora::windows_testing
