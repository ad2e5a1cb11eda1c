#pragma once

// The bytes received and not yet taken by Input.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

namespace tavex {

class ReceiveBuffer {
public:
    // Adds bytes as they came off the line, dropping NUL bytes when asked to.
    // True when an end-of-file character (Ctrl-Z) was among them.
    bool Append(std::string_view bytes, bool discardNulls);

    // The oldest bytes: all of them for a limit of 0, else at most limit.
    std::vector<std::uint8_t> Take(std::size_t limit);

    std::size_t Size() const { return bytes_.size(); }
    void Clear() { bytes_.clear(); }

private:
    std::deque<std::uint8_t> bytes_;
};

} // namespace tavex
