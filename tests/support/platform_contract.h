#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "shell/platform.h"

namespace velmora::testing {

// One platform (the fake, Linux on a temporary drive, Windows under Wine) with an empty folder to run the
// platform contract in. It makes entries beside the platform, as another program would; it tests nothing.
class ContractSubject {
public:
    virtual ~ContractSubject() = default;
    virtual Platform& platform() = 0;
    // The folder's program path, without a trailing separator; the folder exists and is empty.
    virtual std::string folder() = 0;
    virtual void makeFile(const std::string& name, const std::string& content) = 0;
    virtual void makeFolder(const std::string& name) = 0;
};

struct ContractSubjectMaker {
    const char* platform;
    std::function<std::unique_ptr<ContractSubject>()> make;
    friend void PrintTo(const ContractSubjectMaker& maker, std::ostream* out) { *out << maker.platform; }
};

// The contract's tests take the subject as their parameter; each platform's tests instantiate them, e.g.
//   INSTANTIATE_TEST_SUITE_P(Linux, PlatformContract, ::testing::Values(ContractSubjectMaker {"Linux", ...}));
class PlatformContract : public ::testing::TestWithParam<ContractSubjectMaker> {};

}  // namespace velmora::testing
