// The Linux platform under the platform contract, on a temporary drive C: with real files.

#include <filesystem>

#include "shell/linux/linux_platform.h"
#include "tests/support/platform_contract.h"
#include "tests/support/temp_directory.h"

namespace velmora::testing {
namespace {

class LinuxSubject final : public ContractSubject {
public:
    LinuxSubject() { std::filesystem::create_directory(drive_ / "Contract"); }
    Platform& platform() override { return platform_; }
    std::string folder() override { return "C:\\Contract"; }
    void makeFile(const std::string& name, const std::string& content) override
    {
        WriteFile(drive_ / ("Contract/" + name), content);
    }
    void makeFolder(const std::string& name) override
    {
        std::filesystem::create_directory(drive_ / ("Contract/" + name));
    }

private:
    TempDirectory drive_;
    int argc_ = 1;
    char programName_[8] = "velmora";
    char* argv_[2] = {programName_, nullptr};
    linux_platform::LinuxPlatform platform_ {argc_, argv_, linux_platform::DriveMapping({drive_.path(), std::nullopt})};
};

INSTANTIATE_TEST_SUITE_P(Linux, PlatformContract,
                         ::testing::Values(ContractSubjectMaker {"Linux",
                                                                 [] { return std::make_unique<LinuxSubject>(); }}));

}  // namespace
}  // namespace velmora::testing
