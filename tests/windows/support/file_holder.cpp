#include "tests/windows/support/file_holder.h"

namespace velmora::windows_testing {

FileHolder::FileHolder(const std::string& path, const std::string& sharing)
{
    SECURITY_ATTRIBUTES inherited {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE inputRead = nullptr;
    HANDLE outputRead = nullptr;
    HANDLE outputWrite = nullptr;
    if (!::CreatePipe(&inputRead, &input_, &inherited, 0) || !::CreatePipe(&outputRead, &outputWrite, &inherited, 0))
        return;
    ::SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(outputRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inputRead;
    startup.hStdOutput = outputWrite;
    startup.hStdError = outputWrite;
    std::string program = "Z:" VELMORA_FILE_HOLDER;  // built on the Unix side: drive Z: is its root
    for (char& c : program)
        if (c == '/')
            c = '\\';
    std::string commandLine = "\"" + program + "\" \"" + path + "\" " + sharing;
    const bool started = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                          nullptr, nullptr, &startup, &process_);
    ::CloseHandle(inputRead);
    ::CloseHandle(outputWrite);
    if (started) {
        char answer[64] = {};
        DWORD got = 0;
        ::ReadFile(outputRead, answer, sizeof answer - 1, &got, nullptr);
        holds_ = std::string(answer, got).rfind("held", 0) == 0;
    }
    ::CloseHandle(outputRead);
}

FileHolder::~FileHolder()
{
    if (input_)
        ::CloseHandle(input_);  // the holder lets go and ends
    if (process_.hProcess) {
        if (::WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
            ::TerminateProcess(process_.hProcess, 1);
        ::CloseHandle(process_.hThread);
        ::CloseHandle(process_.hProcess);
    }
}

}  // namespace velmora::windows_testing
