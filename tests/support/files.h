// Small helpers of the tests that run programs and read what they wrote.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace sweepwav::testing {

// The bytes of a file; empty when it cannot be read.
inline std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Two argument lists, one after the other.
template <typename Args>
Args Cat(Args a, const Args& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace sweepwav::testing
