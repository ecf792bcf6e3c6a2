// The line copy against a small model of its rules: every line of the source is written followed by CR LF,
// a line ends at CR LF or at a lone CR, a lone LF stays inside its line, and the header comes first. The
// source may start with a run of lone CRs around the count past which the copy converts the text first, so
// that both ways of writing it are held to the same rules.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "hosts_store/hosts_store.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/support/fake_platform.h"

namespace {

std::string ModelLineCopy(const std::string& source, const std::string& header)
{
    std::string copy = header;
    std::string line;
    bool lineOpen = false;
    for (std::size_t at = 0; at < source.size(); ++at) {
        if (source[at] == '\r') {
            copy += line + "\r\n";
            line.clear();
            lineOpen = false;
            if (at + 1 < source.size() && source[at + 1] == '\n')
                ++at;
        } else {
            line += source[at];
            lineOpen = true;
        }
    }
    if (lineOpen)
        copy += line + "\r\n";
    return copy;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool header = input.ConsumeBool();
    // 1 or 2: a run of lone CRs (each alone, or ending a short line) near the count at which the copy changes
    // its way of writing; otherwise the bytes alone (most inputs, since a run makes a run slow).
    const int run = input.ConsumeIntegralInRange(0, 7);
    const std::size_t runLength = 4090 + input.ConsumeIntegralInRange<std::size_t>(0, 12);
    const std::string name = input.ConsumeRandomLengthString(24);
    std::string source;
    if (run == 1 || run == 2)
        for (std::size_t i = 0; i < runLength; ++i)
            source += run == 1 ? "\r" : "x\r";
    source += input.ConsumeRemainingBytesAsString();

    velmora::testing::FakePlatform platform;
    platform.files["C:\\etc\\hosts.source"] = source;
    velmora::CopyHostFile(platform, "C:\\etc\\hosts.source", "C:\\etc\\hosts", header, name);
    velmora::fuzz::Check(platform.files["C:\\etc\\hosts"] == ModelLineCopy(source, velmora::HeaderLines(header, name)),
                         "the line copy writes every line followed by CR LF, nothing else");
    return 0;
}
