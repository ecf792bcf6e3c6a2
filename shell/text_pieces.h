#pragma once

#include <cstdint>
#include <string_view>

#include "shell/platform.h"

namespace velmora {

// The byte count of a content given as pieces.
std::uint64_t SizeOfPieces(const TextPieces& content);

// Compares bytes fed block by block, as a file is read, with the pieces a write would put there. It reads
// nothing itself and knows no file: each platform feeds it what its own read calls return.
class PiecesComparison {
public:
    explicit PiecesComparison(const TextPieces& content);

    // False once the bytes fed so far differ from the start of the pieces, or run past their end.
    bool matchesNext(std::string_view block);
    // Whether the bytes fed so far are the whole content.
    bool matchedWhole();

private:
    TextPieces::const_iterator piece_;
    TextPieces::const_iterator end_;
    std::size_t inPiece_ = 0;
};

}  // namespace velmora
