// Window-less switch of a large variant with `velmora NAME` against `cp` of the same file, in one run.
//
// Both programs are started the same way (posix_spawn, no shell) on the same disk, interleaved, and the wall
// time from start to exit is taken; the medians give the ratio. Velmora does more than cp: it checks the
// command line and the backup, converts line ends, and syncs the new file and its directory before the
// atomic rename, which cp does not. The ratio includes all of that.
//
// Memory: a 20 MB variant whose lines end in lone CRs (the case that costs most, since every such line end
// must be converted) is switched as well, and the peak resident set size of the program is compared with
// the variant's size and with a switch of a one-line variant (what the program needs anyway).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double milliseconds = 0;
    double peakMegabytes = 0;  // peak resident set size
};

Run RunProgram(const std::vector<std::string>& argv)
{
    std::vector<char*> arguments;
    for (const std::string& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (::posix_spawnp(&pid, arguments.front(), nullptr, nullptr, arguments.data(), environ) != 0) {
        std::perror(argv.front().c_str());
        std::exit(2);
    }
    int status = 0;
    rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed with status %d\n", argv.front().c_str(), status);
        std::exit(2);
    }
    return Run{std::chrono::duration<double, std::milli>(end - start).count(), usage.ru_maxrss / 1024.0};
}

double RunMilliseconds(const std::vector<std::string>& argv)
{
    return RunProgram(argv).milliseconds;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Write(const std::filesystem::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-VELMORA [RUNS] [WORK-DIRECTORY]\n", argv[0]);
        return 2;
    }
    const std::string velmora = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 31;
    const std::filesystem::path base = argc > 3 ? argv[3] : std::filesystem::temp_directory_path();

    const std::filesystem::path drive = base / ("velmora-bench-" + std::to_string(::getpid()));
    const std::filesystem::path etc = drive / "Windows/System32/drivers/etc";
    std::filesystem::create_directories(etc);

    // The variants are written line by line, never held whole: a child's peak RSS includes the peak of the
    // process that started it (posix_spawn runs in its memory until the exec), so this one stays small.
    std::size_t bigSize = 0, loneCrSize = 0, loneCrLines = 0;
    {
        std::ofstream out(etc / "hosts.big", std::ios::binary);
        for (int line = 0; line < 200000; ++line) {
            const std::string text = "10." + std::to_string(line / 65536 % 256) + "." +
                                     std::to_string(line / 256 % 256) + "." + std::to_string(line % 256) + "\thost-" +
                                     std::to_string(line) + ".example\r\n";
            out << text;
            bigSize += text.size();
        }
    }
    {
        // 20 MB of short lines ending in lone CRs.
        std::ofstream out(etc / "hosts.lonecr", std::ios::binary);
        for (int line = 0; loneCrSize < 20'000'000; ++line, ++loneCrLines) {
            const std::string text = "10.0.0." + std::to_string(line % 256) + " h" + std::to_string(line) + "\r";
            out << text;
            loneCrSize += text.size();
        }
    }
    Write(etc / "hosts", "127.0.0.1 localhost\r\n");
    Write(etc / "hosts.Default", "127.0.0.1 localhost\r\n");
    Write(etc / "hosts.tiny", "127.0.0.1 localhost\r\n");
    ::setenv("VELMORA_DRIVE_C", drive.c_str(), 1);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");

    const std::string source = (etc / "hosts.big").string();
    const std::string copy = (etc / "hosts.copy").string();
    const std::vector<std::string> switchCommand{velmora, "big"};
    const std::vector<std::string> copyCommand{"cp", source, copy};
    // A copy that also waits for its data to reach the disk, as the switch does before its rename.
    const std::vector<std::string> syncedCopyCommand{"dd", "if=" + source, "of=" + copy, "bs=1M", "conv=fsync",
                                                     "status=none"};
    std::vector<double> velmoraTimes, copyTimes, syncedCopyTimes;
    for (int warmUp = 0; warmUp < 3; ++warmUp) {
        RunMilliseconds(switchCommand);
        RunMilliseconds(copyCommand);
        RunMilliseconds(syncedCopyCommand);
    }
    for (int run = 0; run < runs; ++run) {
        velmoraTimes.push_back(RunMilliseconds(switchCommand));
        copyTimes.push_back(RunMilliseconds(copyCommand));
        syncedCopyTimes.push_back(RunMilliseconds(syncedCopyCommand));
    }
    std::vector<double> loneCrPeaks, tinyPeaks;
    for (int run = 0; run < 5; ++run) {
        loneCrPeaks.push_back(RunProgram({velmora, "lonecr"}).peakMegabytes);
        // Switching away from the lone-CR variant reads it once more, to make sure that hosts holds nothing
        // it would lose; the one-line switch stands for what the program needs for itself, from a hosts that
        // is a small variant's copy.
        Write(etc / "hosts", "127.0.0.1 localhost\r\n");
        tinyPeaks.push_back(RunProgram({velmora, "tiny"}).peakMegabytes);
    }
    std::filesystem::remove_all(drive);

    const double velmoraMedian = Median(velmoraTimes);
    const double copyMedian = Median(copyTimes);
    const double syncedCopyMedian = Median(syncedCopyTimes);
    std::printf("variant: 200000 lines, %zu bytes; %d runs each, interleaved, on %s\n", bigSize, runs,
                base.c_str());
    std::printf("velmora big          : median %6.2f ms\n", velmoraMedian);
    std::printf("cp                   : median %6.2f ms\n", copyMedian);
    std::printf("dd conv=fsync        : median %6.2f ms\n", syncedCopyMedian);
    std::printf("velmora / cp         : %.2f (goal: at most 2.0)\n", velmoraMedian / copyMedian);
    std::printf("velmora / synced copy: %.2f\n", velmoraMedian / syncedCopyMedian);
    const double variantMegabytes = static_cast<double>(loneCrSize) / (1024.0 * 1024.0);
    const double loneCrPeak = Median(loneCrPeaks), tinyPeak = Median(tinyPeaks);
    std::printf("lone-CR variant      : %.1f MiB, lines of %.1f bytes on average\n", variantMegabytes,
                static_cast<double>(loneCrSize) / static_cast<double>(loneCrLines));
    std::printf("peak RSS, lone CR    : median %6.1f MiB (one-line variant: %.1f MiB)\n", loneCrPeak, tinyPeak);
    std::printf("(peak - one-line) / variant size: %.2f (goal: about 2)\n", (loneCrPeak - tinyPeak) / variantMegabytes);
    return 0;
}
