// The Windows platform under the platform contract, in a temporary folder of the Wine prefix.

#include <windows.h>

#include "shell/windows/windows_platform.h"
#include "tests/support/platform_contract.h"
#include "tests/support/temp_directory.h"
#include "tests/windows/support/win_files.h"

namespace velmora::testing {
namespace {

class WindowsSubject final : public ContractSubject {
public:
    Platform& platform() override { return platform_; }
    std::string folder() override { return folder_.path(); }
    void makeFile(const std::string& name, const std::string& content) override
    {
        windows_testing::WriteBytes(folder_ / name, content);
    }
    void makeFolder(const std::string& name) override { ::CreateDirectoryA((folder_ / name).c_str(), nullptr); }

private:
    TempDirectory folder_;
    windows_platform::WindowsPlatform platform_;
};

INSTANTIATE_TEST_SUITE_P(Windows, PlatformContract,
                         ::testing::Values(ContractSubjectMaker {"Windows",
                                                                 [] { return std::make_unique<WindowsSubject>(); }}));

}  // namespace
}  // namespace velmora::testing
