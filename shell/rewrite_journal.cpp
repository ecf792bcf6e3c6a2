#include "shell/rewrite_journal.h"

#include <charconv>

#include "shell/runtime_error.h"

namespace velmora {

namespace {

constexpr char kMarkerFirstLine[] = "velmora in-place rewrite 1";

bool TakeLine(std::string_view& rest, std::string_view& line)
{
    const auto end = rest.find('\n');
    if (end == std::string_view::npos)
        return false;
    line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return true;
}

template <typename Number>
bool TakeNumber(std::string_view& text, Number& number, int base)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
    if (error != std::errc() || end == text.data())
        return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

bool ParseSummary(std::string_view line, std::string_view label, ContentSummary& summary)
{
    if (!line.starts_with(label) || line.size() <= label.size() || line[label.size()] != ' ')
        return false;
    line.remove_prefix(label.size() + 1);
    if (!TakeNumber(line, summary.size, 10) || !line.starts_with(' '))
        return false;
    line.remove_prefix(1);
    return TakeNumber(line, summary.checksum, 16) && line.empty();
}

// A line "label NUMBER" and nothing else.
template <typename Number>
bool ParseLabelledNumber(std::string_view line, std::string_view label, Number& number)
{
    if (!line.starts_with(label) || line.size() <= label.size() || line[label.size()] != ' ')
        return false;
    line.remove_prefix(label.size() + 1);
    return TakeNumber(line, number, 10) && line.empty();
}

}  // namespace

void ContentChecksum::add(std::string_view bytes)
{
    std::uint64_t hash = hash_;
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 1099511628211ull;
    }
    hash_ = hash;
}

ContentSummary SummaryOf(const std::vector<std::string_view>& pieces)
{
    ContentChecksum checksum;
    ContentSummary summary;
    for (std::string_view piece : pieces) {
        checksum.add(piece);
        summary.size += piece.size();
    }
    summary.checksum = checksum.value();
    return summary;
}

std::string RewriteJournalText(const RewriteJournal& journal)
{
    auto summary = [](const char* label, const ContentSummary& content) {
        char checksum[17];
        const auto end = std::to_chars(checksum, checksum + 16, content.checksum, 16).ptr;
        return std::string(label) + " " + std::to_string(content.size) + " " + std::string(checksum, end) + "\n";
    };
    return std::string(kMarkerFirstLine) + "\n" + summary("old", journal.oldContent) +
           summary("new", journal.newContent) + "inode " + std::to_string(journal.fileId) + "\ntarget " +
           std::to_string(journal.targetName.size()) + "\n" + journal.targetName + "\nend\n";
}

std::optional<RewriteJournal> ParseRewriteJournal(std::string_view text)
{
    RewriteJournal journal;
    std::string_view line;
    if (!TakeLine(text, line) || line != kMarkerFirstLine)
        return std::nullopt;
    if (!TakeLine(text, line) || !ParseSummary(line, "old", journal.oldContent))
        return std::nullopt;
    if (!TakeLine(text, line) || !ParseSummary(line, "new", journal.newContent))
        return std::nullopt;
    if (!TakeLine(text, line) || !ParseLabelledNumber(line, "inode", journal.fileId))
        return std::nullopt;
    std::size_t nameLength = 0;
    if (!TakeLine(text, line) || !ParseLabelledNumber(line, "target", nameLength))
        return std::nullopt;
    if (text.size() < nameLength || text.substr(nameLength) != "\nend\n")
        return std::nullopt;
    journal.targetName = std::string(text.substr(0, nameLength));
    if (journal.targetName.find('\0') != std::string::npos)
        return std::nullopt;
    return journal;
}

void WriteOverOldContent(const std::function<void()>& writeNew, const std::function<void()>& putBackOld,
                         const std::function<void()>& letGoOfCopy)
{
    try {
        writeNew();
    } catch (...) {
        bool putBack = false;
        try {
            putBackOld();
            putBack = true;
        } catch (const RuntimeError&) {
            // The copy is still there for the next start; the first failure is the one to report.
        }
        if (putBack)
            letGoOfCopy();
        throw;
    }
    letGoOfCopy();
}

bool SettleInterruptedRewrite(const RewriteJournal& journal, const ContentSummary& now,
                              const std::function<bool(JournalCopy, const ContentSummary&)>& copyBackIfIntact)
{
    return now == journal.newContent || now == journal.oldContent ||
           copyBackIfIntact(JournalCopy::OldContent, journal.oldContent) ||
           copyBackIfIntact(JournalCopy::NewContent, journal.newContent);
}

}  // namespace velmora
