#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scortavia {

// Many texts one after the other in one buffer, with where each one ends: 100,000 list rows or a million
// spreadsheet cells cost a handful of allocations, not a string each. `End` is the type of an end: 32 bits
// where the holder keeps its texts under 4 GiB, which halves what the ends cost.
template <class End>
class PackedTexts final {
public:
    void reserve(std::size_t texts, std::size_t bytes) {
        ends_.reserve(texts);
        text_.reserve(bytes);
    }
    // Empties it and keeps the buffers, so filling it again costs no new memory.
    void clear() {
        text_.clear();
        ends_.clear();
    }
    // Empties it and gives the buffers back.
    void release() {
        std::string().swap(text_);
        std::vector<End>().swap(ends_);
    }
    void shrinkToFit() {
        text_.shrink_to_fit();
        ends_.shrink_to_fit();
    }
    void swap(PackedTexts& other) noexcept {
        text_.swap(other.text_);
        ends_.swap(other.ends_);
    }

    // The buffer the next text is appended to in place; `close` ends it there (nothing appended: an
    // empty text).
    std::string& open() { return text_; }
    void close() { ends_.push_back(static_cast<End>(text_.size())); }
    void add(std::string_view text) {
        text_.append(text);
        close();
    }
    // Keeps the first `count` texts and drops the rest, with what was appended after them.
    void truncate(std::size_t count) {
        ends_.resize(count);
        text_.resize(ends_.empty() ? 0 : static_cast<std::size_t>(ends_.back()));
    }

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::size_t bytes() const { return text_.size(); }  // the texts' bytes, and any appended but not closed
    std::string_view operator[](std::size_t index) const {
        const std::size_t begin = index == 0 ? 0 : static_cast<std::size_t>(ends_[index - 1]);
        return std::string_view(text_).substr(begin, static_cast<std::size_t>(ends_[index]) - begin);
    }

private:
    std::string text_;
    std::vector<End> ends_;
};

}  // namespace scortavia
