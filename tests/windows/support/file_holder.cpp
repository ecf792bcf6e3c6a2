#include "tests/windows/support/file_holder.h"

#include "tests/windows/support/win_files.h"

namespace velmora::windows_testing {

FileHolder::FileHolder(const std::string& path, const std::string& sharing)
{
    // A loaded machine can make Wine fail to start a process, or let it end before it says a word; that says
    // nothing about the file, so it is tried once more. An answer, "held" or "failed", is final.
    if (!start(path, sharing)) {
        end();
        start(path, sharing);
    }
}

FileHolder::~FileHolder()
{
    end();
}

bool FileHolder::start(const std::string& path, const std::string& sharing)
{
    SECURITY_ATTRIBUTES inherited {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE inputRead = nullptr;
    HANDLE outputRead = nullptr;
    HANDLE outputWrite = nullptr;
    if (!::CreatePipe(&inputRead, &input_, &inherited, 0) || !::CreatePipe(&outputRead, &outputWrite, &inherited, 0)) {
        answer_ = "no pipe: error " + std::to_string(::GetLastError());
        return false;
    }
    ::SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(outputRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inputRead;
    startup.hStdOutput = outputWrite;
    startup.hStdError = outputWrite;
    std::string commandLine = "\"" + WindowsPathOfBuiltFile(VELMORA_FILE_HOLDER) + "\" \"" + path + "\" " + sharing;
    const bool started = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                          nullptr, nullptr, &startup, &process_);
    const DWORD startError = ::GetLastError();
    ::CloseHandle(inputRead);
    ::CloseHandle(outputWrite);
    answer_.clear();
    if (started) {
        // A pipe may hand the line over in pieces: read up to its end.
        char piece[64];
        DWORD got = 0;
        while (answer_.find('\n') == std::string::npos && ::ReadFile(outputRead, piece, sizeof piece, &got, nullptr) &&
               got > 0)
            answer_.append(piece, got);
        if (answer_.empty())
            answer_ = "the holder ended without an answer";
    } else {
        answer_ = "the holder did not start: error " + std::to_string(startError);
    }
    ::CloseHandle(outputRead);
    return answer_.rfind("held", 0) == 0 || answer_.rfind("failed", 0) == 0;
}

void FileHolder::end()
{
    if (input_) {
        ::CloseHandle(input_);  // the holder lets go and ends
        input_ = nullptr;
    }
    if (process_.hProcess) {
        if (::WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
            ::TerminateProcess(process_.hProcess, 1);
        ::CloseHandle(process_.hThread);
        ::CloseHandle(process_.hProcess);
    }
    process_ = {};
}

}  // namespace velmora::windows_testing
