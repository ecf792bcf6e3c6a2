// The wildcard name matching against a plain reference over the same case folding: `*` takes any run of
// characters (also none, also a `*`), `?` exactly one, everything else itself; a pattern ending in ".*" also
// takes a name without a dot. The folding and the name order are held to their own promises.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shell/linux/file_names.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using velmora::fuzz::Check;
using velmora::linux_platform::FoldedName;

// Every prefix of the pattern against every prefix of the name: no shortcut that could go wrong.
bool ReferenceMatch(const std::u32string& pattern, const std::u32string& name)
{
    std::vector<std::vector<bool>> matches(pattern.size() + 1, std::vector<bool>(name.size() + 1, false));
    matches[0][0] = true;
    for (std::size_t p = 1; p <= pattern.size(); ++p) {
        for (std::size_t n = 0; n <= name.size(); ++n) {
            if (pattern[p - 1] == U'*')
                matches[p][n] = matches[p - 1][n] || (n > 0 && matches[p][n - 1]);
            else if (n > 0)
                matches[p][n] = matches[p - 1][n - 1] && (pattern[p - 1] == U'?' || pattern[p - 1] == name[n - 1]);
        }
    }
    return matches[pattern.size()][name.size()];
}

bool ReferenceWildcardMatch(const std::string& pattern, const std::string& name)
{
    const std::u32string foldedPattern = FoldedName(pattern);
    const std::u32string foldedName = FoldedName(name);
    if (ReferenceMatch(foldedPattern, foldedName))
        return true;
    const bool endsInDotStar = foldedPattern.size() >= 2 && foldedPattern.ends_with(U".*");
    return endsInDotStar && foldedName.find(U'.') == std::u32string::npos &&
           ReferenceMatch(foldedPattern.substr(0, foldedPattern.size() - 2), foldedName);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string pattern = input.ConsumeRandomLengthString(48);
    const std::string name = input.ConsumeRandomLengthString(256);
    Check(velmora::linux_platform::WildcardMatch(pattern, name) == ReferenceWildcardMatch(pattern, name),
          "the wildcard matching agrees with the reference");

    using velmora::linux_platform::NameLessIgnoringCase;
    using velmora::linux_platform::NamesEqualIgnoringCase;
    Check(NamesEqualIgnoringCase(pattern, name) == (FoldedName(pattern) == FoldedName(name)),
          "names are equal exactly when they fold alike");
    Check(!NameLessIgnoringCase(name, name), "no name comes before itself");
    using velmora::linux_platform::CaseBlindKey;
    const std::string patternKey = CaseBlindKey(pattern);
    const std::string nameKey = CaseBlindKey(name);
    Check((patternKey == nameKey) == NamesEqualIgnoringCase(pattern, name),
          "names share a key exactly when they are equal");
    Check(patternKey == nameKey || (patternKey < nameKey) == NameLessIgnoringCase(pattern, name),
          "the keys order names as they are ordered");
    Check(pattern == name || NameLessIgnoringCase(pattern, name) != NameLessIgnoringCase(name, pattern),
          "of two different names exactly one comes first");
    if (pattern.find_first_of("*?") == std::string::npos)
        Check(velmora::linux_platform::WildcardMatch(pattern, name) == NamesEqualIgnoringCase(pattern, name),
              "without wildcards a pattern takes its own name in any case, and nothing else");
    return 0;
}
