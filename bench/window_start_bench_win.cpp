// Start of velmora.exe's window against an empty Win32 window of the same size, both under the same Wine in
// one run: the time from CreateProcess to the program's top-level window being visible, and the program's peak
// working set when it is. Runs them alternately, prints medians and the ratio; asserts nothing.
//
//   window_start_bench_win.exe VELMORA.EXE BARE_WINDOW.EXE [RUNS]

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Sample {
    double milliseconds;
    double peakMegabytes;
};

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::IsWindowVisible(window) && ::GetWindowTextLengthA(window) > 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

bool Measure(const std::string& program, Sample& sample)
{
    LARGE_INTEGER frequency {};
    LARGE_INTEGER start {};
    LARGE_INTEGER now {};
    ::QueryPerformanceFrequency(&frequency);
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    Search search {process.dwProcessId, nullptr};
    for (int polls = 0; !search.found && polls < 20000; ++polls) {
        ::EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            ::Sleep(1);
    }
    ::QueryPerformanceCounter(&now);
    sample.milliseconds = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    PROCESS_MEMORY_COUNTERS memory {};
    memory.cb = sizeof memory;
    sample.peakMegabytes = ::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)
                               ? static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0)
                               : -1;
    if (search.found)
        ::PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return search.found != nullptr;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s VELMORA.EXE BARE_WINDOW.EXE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 11;
    const std::string programs[] = {argv[1], argv[2]};
    std::vector<double> times[2];
    std::vector<double> peaks[2];
    Sample warmUp {};
    Measure(programs[0], warmUp);  // the first start of a session loads Wine's libraries for both
    Measure(programs[1], warmUp);
    for (int run = 0; run < runs; ++run)
        for (int which = 0; which < 2; ++which) {
            Sample sample {};
            if (!Measure(programs[which], sample)) {
                std::fprintf(stderr, "%s showed no window\n", programs[which].c_str());
                return 1;
            }
            times[which].push_back(sample.milliseconds);
            peaks[which].push_back(sample.peakMegabytes);
        }
    const double velmora = Median(times[0]);
    const double bare = Median(times[1]);
    std::printf("runs=%d\n", runs);
    std::printf("velmora window: median %.1f ms to visible, peak working set %.1f MB\n", velmora, Median(peaks[0]));
    std::printf("empty window:   median %.1f ms to visible, peak working set %.1f MB\n", bare, Median(peaks[1]));
    std::printf("ratio (velmora / empty): time %.2f, peak memory %.2f\n", velmora / bare,
                Median(peaks[0]) / Median(peaks[1]));
    return 0;
}
