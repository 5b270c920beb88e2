// Reading a change log file (NAME.DAS): its lines counted as the log
// numbers them.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace qk_test {

// The change log's lines "NNNN,..." numbered from 1 without a gap or a
// repeat; returns how many there are (0 after a fault, which is reported).
inline std::size_t numbered_change_lines(const std::string& text)
{
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            EXPECT_EQ(text.substr(start), "\x1a") << "only the end-of-file byte after the last line";
            break;
        }
        char expected[8];
        std::snprintf(expected, sizeof expected, "%04zu,", ++number);
        if (text.substr(start, 5) != expected) {
            ADD_FAILURE() << "line " << number << " in\n" << text;
            return 0;
        }
        start = end + 2;
    }
    return number;
}

}  // namespace qk_test
