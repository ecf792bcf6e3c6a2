// The switch a desktop launcher makes, `velmora NAME` with an X display, against the same switch without one,
// in one run.
//
// A launcher starts the program with no terminal, so its beep cannot go to a terminal's bell: with a display
// it sounds the display's bell, without one it sounds nothing. Both switches are started the same way
// (posix_spawn in a session of their own, no shell) on the same drive, interleaved, and the wall time from
// start to exit is taken; the medians give the ratio, which is what sounding the bell costs. The variant is a
// hosts file of a usual size, so the bell's share is as large as it gets.
//
// Run it under an X server (scripts/bench.sh starts one with xvfb-run); DISPLAY names it.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

// The process's environment without the variables named, plus the ones given.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& removed, const std::vector<std::string>& added)
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        const std::string name = variable.substr(0, variable.find('='));
        if (std::find(removed.begin(), removed.end(), name) == removed.end())
            variables.push_back(variable);
    }
    variables.insert(variables.end(), added.begin(), added.end());
    return variables;
}

double RunMilliseconds(const std::vector<std::string>& argv, std::vector<std::string> environment)
{
    std::vector<char*> arguments, envp;
    for (const std::string& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);  // no terminal, as from a desktop launcher

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, arguments.front(), nullptr, &attributes, arguments.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        std::fprintf(stderr, "%s: %s\n", argv.front().c_str(), std::strerror(error));
        std::exit(2);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed with status %d\n", argv.front().c_str(), status);
        std::exit(2);
    }
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-VELMORA [RUNS] [WORK-DIRECTORY]\n", argv[0]);
        return 2;
    }
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::fprintf(stderr, "%s: DISPLAY must name an X server\n", argv[0]);
        return 2;
    }
    const std::string velmora = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 101;
    const std::filesystem::path base =
        std::filesystem::absolute(argc > 3 ? argv[3] : std::filesystem::temp_directory_path());

    const std::filesystem::path drive = base / ("velmora-display-bench-" + std::to_string(::getpid()));
    const std::filesystem::path etc = drive / "Windows/System32/drivers/etc";
    std::filesystem::create_directories(etc);
    std::ofstream(etc / "hosts", std::ios::binary) << "127.0.0.1 localhost\r\n";
    std::ofstream(etc / "hosts.Default", std::ios::binary) << "127.0.0.1 localhost\r\n";
    {
        std::ofstream office(etc / "hosts.office", std::ios::binary);
        office << "127.0.0.1 localhost\r\n::1 localhost ip6-localhost ip6-loopback\r\n";
        for (int line = 1; line <= 30; ++line)
            office << "10.20.0." << line << "\tserver-" << line << ".office.example\r\n";
    }

    const std::vector<std::string> toolkitVariables{"WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME"};
    std::vector<std::string> withoutDisplayRemoved = toolkitVariables;
    withoutDisplayRemoved.push_back("DISPLAY");
    const std::string driveVariable = "VELMORA_DRIVE_C=" + drive.string();
    const auto withDisplay = EnvironmentWith(toolkitVariables, {driveVariable});
    const auto withoutDisplay = EnvironmentWith(withoutDisplayRemoved, {driveVariable});
    const std::vector<std::string> switchCommand{velmora, "office"};

    std::vector<double> withTimes, withoutTimes;
    for (int warmUp = 0; warmUp < 3; ++warmUp) {
        RunMilliseconds(switchCommand, withDisplay);
        RunMilliseconds(switchCommand, withoutDisplay);
    }
    for (int run = 0; run < runs; ++run) {
        withTimes.push_back(RunMilliseconds(switchCommand, withDisplay));
        withoutTimes.push_back(RunMilliseconds(switchCommand, withoutDisplay));
    }
    std::filesystem::remove_all(drive);

    const double withMedian = Median(withTimes), withoutMedian = Median(withoutTimes);
    std::printf("switch of a 32-line variant without a terminal; %d runs each, interleaved, DISPLAY=%s\n", runs,
                display);
    std::printf("velmora office, with the display   : median %6.2f ms\n", withMedian);
    std::printf("velmora office, without a display  : median %6.2f ms\n", withoutMedian);
    std::printf("with / without                     : %.2f (goal: at most 1.5)\n", withMedian / withoutMedian);
    return 0;
}
