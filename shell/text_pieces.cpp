#include "shell/text_pieces.h"

#include <algorithm>

namespace velmora {

std::uint64_t SizeOfPieces(const TextPieces& content)
{
    std::uint64_t size = 0;
    for (std::string_view piece : content)
        size += piece.size();
    return size;
}

PiecesComparison::PiecesComparison(const TextPieces& content) : piece_(content.begin()), end_(content.end())
{
}

bool PiecesComparison::matchesNext(std::string_view block)
{
    while (!block.empty()) {
        if (piece_ == end_)
            return false;  // more bytes than the content holds
        const std::size_t length = std::min(block.size(), piece_->size() - inPiece_);
        if (block.substr(0, length) != piece_->substr(inPiece_, length))
            return false;
        block.remove_prefix(length);
        inPiece_ += length;
        if (inPiece_ == piece_->size()) {
            ++piece_;
            inPiece_ = 0;
        }
    }
    return true;
}

bool PiecesComparison::matchedWhole()
{
    while (piece_ != end_ && piece_->size() == inPiece_) {
        ++piece_;
        inPiece_ = 0;
    }
    return piece_ == end_;
}

}  // namespace velmora
