#pragma once

#include <map>
#include <string>

#include "shell/runtime_error.h"
#include "tests/support/error_of.h"
#include "tests/support/temp_directory.h"

namespace velmora::windows_testing {

// The temporary folder of every platform's tests (tests/support/temp_directory.h).
using velmora::testing::RemoveTree;
using velmora::testing::TempDirectory;

// Small Win32 file helpers for tests on real files. Their paths are UTF-8 (ANSI bytes that are no UTF-8 are
// taken as ANSI), so that a test can name a file outside the code page; they use the wide calls.
std::wstring WideOf(const std::string& path);
// The Windows path of a file the Unix side built: drive Z: is Wine's view of the Unix root.
std::string WindowsPathOfBuiltFile(std::string unixPath);
std::string Utf8Of(const std::wstring& text);
void WriteBytes(const std::string& path, const std::string& content);
std::string ReadBytes(const std::string& path);
unsigned long AttributesOf(const std::string& path);  // INVALID_FILE_ATTRIBUTES when missing

// The copies a switch kept of `hosts` in a folder (`.hosts~kept-YYYYMMDD-HHMMSS-UUUUUU`, hidden), by name, with
// their content.
std::map<std::string, std::string> KeptCopiesOfHosts(const std::string& folder);

// The real hosts directory's `hosts*` files, by UTF-8 name, and putting exactly such a set in their place, with
// no kept copies of `hosts` (the system's other files there are left alone).
inline const std::string kRealHostsDir = "C:\\Windows\\System32\\drivers\\etc\\";
std::map<std::string, std::string> HostsFiles();
void ReplaceHostsFiles(const std::map<std::string, std::string>& files);

using velmora::testing::ErrorOf;

}  // namespace velmora::windows_testing
