// The in-place rewrite's journal reader, on real files: whatever a marker says, the start that finds it leaves
// every file either as it was or holding exactly the old or the new content of its journal, and only the file
// the marker names (byte for byte) may change. A marker that is exactly the one a rewrite of `hosts` writes is
// finished or undone.
//
// In the marker text, @INODE@ and @LONGINODE@ stand for the inodes of `hosts` and of a variant with a name
// longer than a journal keeps, @LONG@ for that name, @OLD@ and @NEW@ for the size and checksum of the
// journal's old and new content: fixed bytes could not name what each run creates anew.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "shell/linux/in_place_rewrite.h"
#include "shell/linux/posix_io.h"
#include "shell/runtime_error.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using velmora::fuzz::Check;
namespace fs = std::filesystem;

const std::string kOld = "127.0.0.1 localhost\r\n10.0.0.1 old-one\r\n";
const std::string kNew = "10.9.9.9 brand-new\r\n";
const std::string kVariant = "10.1.1.1 variant\r\n";
const std::string kLongName = "hosts." + std::string(200, 'x');

const fs::path& Directory()
{
    static const fs::path directory = [] {
        const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path made = base / ("velmora-journal-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(made);
        return made;
    }();
    return directory;
}

void Write(const fs::path& path, const std::string& content)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    Check(fd >= 0, "the fuzz directory is writable");
    Check(::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size()), "written");
    ::close(fd);
}

std::string Read(const fs::path& path)
{
    std::string content;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return "<missing>";
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        content.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    return content;
}

std::string Summary(const std::string& content)
{
    const velmora::linux_platform::ContentSummary summary = velmora::linux_platform::SummaryOf({content});
    char text[48];
    std::snprintf(text, sizeof text, "%llu %llx", static_cast<unsigned long long>(summary.size),
                  static_cast<unsigned long long>(summary.checksum));
    return text;
}

std::string Substituted(std::string text, const std::string& placeholder, const std::string& value)
{
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
    return text;
}

// The journal's copy of one content as a run finds it.
void PlaceCopy(const fs::path& path, int state, const std::string& content)
{
    switch (state) {
    case 0: Write(path, content); break;
    case 1: Write(path, content.substr(0, content.size() / 2)); break;  // damaged
    case 2: break;                                                      // missing
    default: fs::create_symlink("hosts.office", path); break;           // a link to a file it must not read
    }
}

std::string MarkerFor(const std::string& name, ino_t inode)
{
    return "velmora in-place rewrite 1\nold " + Summary(kOld) + "\nnew " + Summary(kNew) + "\ninode " +
           std::to_string(inode) + "\ntarget " + std::to_string(name.size()) + "\n" + name + "\nend\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int before = input.ConsumeIntegralInRange(0, 5);
    const int oldCopy = input.ConsumeIntegralInRange(0, 3);
    const int newCopy = input.ConsumeIntegralInRange(0, 3);
    const bool atStart = input.ConsumeBool();
    const std::string garbage = input.ConsumeRandomLengthString(32);
    std::string marker = input.ConsumeRemainingBytesAsString();

    const fs::path& dir = Directory();
    for (const auto& entry : fs::directory_iterator(dir))
        fs::remove(entry.path());
    const std::string beforeContent[] = {kOld, kNew, kOld.substr(0, 7), kNew.substr(0, 8) + kOld.substr(8), "",
                                         garbage};
    const std::string& hostsBefore = beforeContent[before];
    Write(dir / "hosts", hostsBefore);
    Write(dir / kLongName, hostsBefore);
    Write(dir / "hosts.office", kVariant);
    struct stat hosts {}, longOne {};
    ::stat((dir / "hosts").c_str(), &hosts);
    ::stat((dir / kLongName).c_str(), &longOne);

    marker = Substituted(std::move(marker), "@INODE@", std::to_string(hosts.st_ino));
    marker = Substituted(std::move(marker), "@LONGINODE@", std::to_string(longOne.st_ino));
    marker = Substituted(std::move(marker), "@LONG@", kLongName);
    marker = Substituted(std::move(marker), "@OLD@", Summary(kOld));
    marker = Substituted(std::move(marker), "@NEW@", Summary(kNew));
    // The same marker under the names of both journals: the reader must tell which one it stands for.
    for (const std::string& journal : {std::string(".velmora~hosts"), ".velmora~" + kLongName.substr(0, 200)}) {
        Write(dir / (journal + ".journal"), marker);
        PlaceCopy(dir / (journal + ".old"), oldCopy, kOld);
        PlaceCopy(dir / (journal + ".new"), newCopy, kNew);
    }

    try {
        if (atStart)
            velmora::linux_platform::RecoverInterruptedRewrites(dir);
        else
            velmora::linux_platform::FinishInterruptedRewriteOf(dir / "hosts");
    } catch (const velmora::RuntimeError&) {
        // Neither copy left, or a journal in the way: allowed, as long as the files below are sound.
    }

    Check(Read(dir / "hosts.office") == kVariant, "a file no marker names is never touched");
    for (const std::string& name : {std::string("hosts"), kLongName}) {
        const std::string after = Read(dir / name);
        Check(after == hostsBefore || after == kOld || after == kNew,
              "a file holds what it held, or its old or its new content");
        const std::string named = "\ntarget " + std::to_string(name.size()) + "\n" + name + "\nend\n";
        Check(after == hostsBefore || marker.ends_with(named), "only the file the marker names may change");
    }
    // The very marker a rewrite of `hosts` writes, with a copy to go back to: the rewrite is finished or undone.
    const bool canFinish = hostsBefore == kOld || hostsBefore == kNew || oldCopy == 0 || newCopy == 0;
    if (marker == MarkerFor("hosts", hosts.st_ino) && canFinish) {
        const std::string after = Read(dir / "hosts");
        Check(after == kOld || after == kNew, "a sound journal leaves its old or its new content");
        Check(!fs::exists(dir / ".velmora~hosts.journal"), "a finished journal is removed");
    }
    return 0;
}
