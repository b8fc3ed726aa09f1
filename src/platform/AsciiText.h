#pragma once

#include <cstddef>
#include <string_view>

namespace hm52 {

// Case-insensitive comparison of an ASCII value with a lower-case word. Inline: the ADIF
// reader asks it of every tag.
inline bool equalsLower(std::string_view value, std::string_view lowerWord) {
    if (value.size() != lowerWord.size()) {
        return false;
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + ('a' - 'A'));
        }
        if (c != lowerWord[i]) {
            return false;
        }
    }
    return true;
}

} // namespace hm52
