// Window-less switch of a large variant with `velmora.exe big` against `cmd /c copy` of the same file, both
// under Wine in one run, on the prefix's real hosts directory.
//
// Runs inside Wine (scripts/windows/bench.sh makes the prefix). Both programs are started the same way
// (CreateProcessA, no window, output to NUL), interleaved, and the wall time from start to exit is taken;
// the medians give the ratio. Velmora does more than copy: it checks the command line and the backup,
// converts line ends, and flushes the new file to disk before ReplaceFileA puts it in place.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double RunMilliseconds(const std::string& commandLine)
{
    SECURITY_ATTRIBUTES inheritable {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE nul = ::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     &inheritable, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION process {};
    std::string writable = commandLine;
    LARGE_INTEGER frequency {}, start {}, end {};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessA(nullptr, writable.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", commandLine.c_str(), ::GetLastError());
        std::exit(2);
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::QueryPerformanceCounter(&end);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(nul);
    if (exitCode != 0) {
        std::fprintf(stderr, "%s failed with exit code %lu\n", commandLine.c_str(), exitCode);
        std::exit(2);
    }
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Write(const std::string& path, const std::string& content)
{
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(2);
    }
    ::CloseHandle(file);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-VELMORA.EXE [RUNS [PATH-TO-AN-EARLIER-VELMORA.EXE]]\n", argv[0]);
        return 2;
    }
    const auto windowsPath = [](std::string built) {
        if (!built.empty() && built.front() == '/') {  // a Unix path: Wine's drive Z: is the Unix root
            std::replace(built.begin(), built.end(), '/', '\\');
            built = "Z:" + built;
        }
        return built;
    };
    const std::string built = windowsPath(argv[1]);
    const int runs = argc > 2 ? std::atoi(argv[2]) : 21;
    // An earlier build of the program, switched in the same rounds, tells what a change costs where the
    // machine's load swings more than the change.
    const std::string earlier = argc > 3 ? windowsPath(argv[3]) : std::string();

    const std::string folder = "C:\\Program Files\\Velmora bench";
    const std::string velmora = folder + "\\velmora.exe";
    const std::string earlierVelmora = folder + "\\velmora-earlier.exe";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    if (!::CopyFileA(built.c_str(), velmora.c_str(), FALSE) ||
        (!earlier.empty() && !::CopyFileA(earlier.c_str(), earlierVelmora.c_str(), FALSE))) {
        std::fprintf(stderr, "cannot copy %s or %s\n", built.c_str(), earlier.c_str());
        return 2;
    }

    const std::string etc = "C:\\Windows\\System32\\drivers\\etc\\";
    std::string big;
    for (int line = 0; line < 200000; ++line)
        big += "10." + std::to_string(line / 65536 % 256) + "." + std::to_string(line / 256 % 256) + "." +
               std::to_string(line % 256) + "\thost-" + std::to_string(line) + ".example\r\n";
    Write(etc + "hosts", "127.0.0.1 localhost\r\n");
    Write(etc + "hosts.Default", "127.0.0.1 localhost\r\n");
    Write(etc + "hosts.big", big);

    const std::string switchCommand = "\"" + velmora + "\" big";
    const std::string copyCommand = "cmd.exe /c copy /y " + etc + "hosts.big " + etc + "hosts.copy";
    const std::string earlierCommand = "\"" + earlierVelmora + "\" big";
    std::vector<double> velmoraTimes, copyTimes, earlierTimes;
    for (int warmUp = 0; warmUp < 3; ++warmUp) {
        RunMilliseconds(switchCommand);
        RunMilliseconds(copyCommand);
        if (!earlier.empty())
            RunMilliseconds(earlierCommand);
    }
    for (int run = 0; run < runs; ++run) {
        velmoraTimes.push_back(RunMilliseconds(switchCommand));
        copyTimes.push_back(RunMilliseconds(copyCommand));
        if (!earlier.empty())
            earlierTimes.push_back(RunMilliseconds(earlierCommand));
    }
    ::DeleteFileA((etc + "hosts.copy").c_str());
    ::DeleteFileA((etc + "hosts.big").c_str());

    const double velmoraMedian = Median(velmoraTimes);
    const double copyMedian = Median(copyTimes);
    std::printf("variant: 200000 lines, %zu bytes; %d runs each, interleaved, under Wine\n", big.size(), runs);
    std::printf("velmora.exe big      : median %7.2f ms\n", velmoraMedian);
    std::printf("cmd /c copy          : median %7.2f ms\n", copyMedian);
    std::printf("velmora / copy       : %.2f\n", velmoraMedian / copyMedian);
    if (!earlier.empty()) {
        const double earlierMedian = Median(earlierTimes);
        std::printf("earlier velmora.exe  : median %7.2f ms\n", earlierMedian);
        std::printf("velmora / earlier    : %.3f\n", velmoraMedian / earlierMedian);
    }
    return 0;
}
