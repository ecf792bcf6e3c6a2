// The fake platform under the platform contract: its in-memory drive must name, list and refuse as the real
// platforms do.

#include "tests/support/fake_platform.h"
#include "tests/support/platform_contract.h"

namespace velmora::testing {
namespace {

class FakeSubject final : public ContractSubject {
public:
    Platform& platform() override { return platform_; }
    std::string folder() override { return "C:\\Contract"; }
    void makeFile(const std::string& name, const std::string& content) override
    {
        platform_.files[folder() + "\\" + name] = content;
    }
    void makeFolder(const std::string& name) override { platform_.otherEntries.push_back(folder() + "\\" + name); }

private:
    FakePlatform platform_;
};

INSTANTIATE_TEST_SUITE_P(Fake, PlatformContract,
                         ::testing::Values(ContractSubjectMaker {"fake",
                                                                 [] { return std::make_unique<FakeSubject>(); }}));

}  // namespace
}  // namespace velmora::testing
