#include "tests/support/temp_directory.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

namespace velmora::testing {

TempDirectory::TempDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
}

TempDirectory::~TempDirectory()
{
    RemoveTree(path_);
}

std::string TempDirectory::operator/(const std::string& name) const
{
    return path_ + "/" + name;
}

void RemoveTree(const std::string& path)
{
    std::error_code ignored;
    // Read-only files and directories made by a test must not stop the clean-up.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ignored))
        if (!entry.is_symlink())
            ::chmod(entry.path().c_str(), 0700);
    std::filesystem::remove_all(path, ignored);
}

void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace velmora::testing

namespace velmora::testing {

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name, const char* value)
    : name_(std::move(name))
{
    const char* old = std::getenv(name_.c_str());
    hadValue_ = old != nullptr;
    oldValue_ = old ? old : "";
    if (value)
        ::setenv(name_.c_str(), value, 1);
    else
        ::unsetenv(name_.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable()
{
    if (hadValue_)
        ::setenv(name_.c_str(), oldValue_.c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

}  // namespace velmora::testing
