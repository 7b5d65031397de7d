#pragma once
// Compares file or section bytes without printing them: the size, then the first differing offset.
#include <gtest/gtest.h>

#include <string>

namespace quillon::test {

inline ::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << "size " << actual.size() << ", expected " << expected.size();
    for (std::size_t k = 0; k < actual.size(); ++k)
        if (actual[k] != expected[k]) return ::testing::AssertionFailure() << "bytes differ from offset " << k;
    return ::testing::AssertionSuccess();
}

}  // namespace quillon::test
