#include "toolkit/skin/Lzh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>

namespace veltrane {
namespace {

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::int32_t StoredSize(const std::vector<std::uint8_t>& packed) {
    std::int32_t size = 0;
    std::memcpy(&size, packed.data(), 4);
    return size;
}

class LzhVectorTest : public testing::TestWithParam<const char*> {};

TEST_P(LzhVectorTest, DecodesIndependentEncoderOutputExactly) {
    const std::filesystem::path dir = LZHUF_VECTOR_DIR;
    ASSERT_TRUE(std::filesystem::exists(dir)) << "vectors missing at " << dir;
    const std::vector<std::uint8_t> packed = ReadFile(dir / (std::string(GetParam()) + ".lzh"));
    const std::vector<std::uint8_t> original = ReadFile(dir / (std::string(GetParam()) + ".bin"));
    ASSERT_GE(packed.size(), 4u);
    const std::int32_t size = StoredSize(packed);
    ASSERT_EQ(std::size_t(size), original.size());
    std::vector<std::uint8_t> decoded = TLZH::Decode(std::span(packed).subspan(4), size);
    ASSERT_GE(decoded.size(), original.size());
    ASSERT_LT(decoded.size(), original.size() + TLZH::kLongestMatch);
    decoded.resize(original.size());
    EXPECT_TRUE(decoded == original);
}

INSTANTIATE_TEST_SUITE_P(Conformance, LzhVectorTest,
                         testing::Values("empty", "three_bytes", "spaces10k", "random64k", "text200k"));

std::vector<std::uint8_t> RoundTrip(const std::vector<std::uint8_t>& data) {
    const std::vector<std::uint8_t> packed = TLZH::EncodeWithSize(data);
    return TLZH::Decode(std::span(packed).subspan(4), StoredSize(packed));
}

std::vector<std::uint8_t> RandomBytes(std::size_t n, unsigned seed, int alphabet) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> out(n);
    for (auto& b : out)
        b = std::uint8_t(rng() % unsigned(alphabet));
    return out;
}

// Skewed: a few symbols dominate, so frequencies climb fast and the tree rebuilds often.
std::vector<std::uint8_t> SkewedBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::geometric_distribution<int> pick(0.35);
    std::vector<std::uint8_t> out(n);
    for (auto& b : out)
        b = std::uint8_t(std::min(pick(rng), 255));
    return out;
}

std::vector<std::uint8_t> RepeatingRuns(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> out;
    while (out.size() < n) {
        const std::size_t back = 1 + rng() % 5000;
        const std::size_t len = 1 + rng() % 200;
        for (std::size_t k = 0; k < len; ++k)
            out.push_back(back <= out.size() ? out[out.size() - back] : std::uint8_t(rng()));
    }
    out.resize(n);
    return out;
}

// The favourite symbols change every few kilobytes: the tree keeps exchanging inner nodes with
// leaves at every depth, which the decoder's table of walks must follow.
std::vector<std::uint8_t> RotatingFavourites(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> out;
    for (int block = 0; out.size() < n; ++block) {
        std::vector<double> weights(256);
        for (int i = 0; i < 256; ++i)
            weights[std::size_t(i)] = std::pow(0.93, double((i - 3 * block) & 255));
        std::discrete_distribution<int> pick(weights.begin(), weights.end());
        for (int i = 0; i < 2048; ++i)
            out.push_back(std::uint8_t(pick(rng)));
    }
    out.resize(n);
    return out;
}

// Weights in the Fibonacci sequence give the longest codes the frequency limit allows.
std::vector<std::uint8_t> FibonacciWeighted(std::size_t n, unsigned seed) {
    std::vector<double> weights;
    for (double a = 1, b = 1; weights.size() < 40; b += a, a = b - a)
        weights.push_back(a);
    std::mt19937 rng(seed);
    std::discrete_distribution<int> pick(weights.begin(), weights.end());
    std::vector<std::uint8_t> out(n);
    for (auto& b : out)
        b = std::uint8_t(pick(rng) * 5);
    return out;
}

TEST(LzhRoundTrip, LargeInputsOfEveryShape) {
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> cases = {
        {"empty", {}},
        {"one byte", {0x41}},
        {"all spaces", std::vector<std::uint8_t>(100000, 0x20)},
        {"all zero", std::vector<std::uint8_t>(70000, 0)},
        {"random 1 MB", RandomBytes(1 << 20, 1, 256)},
        {"two symbols 1 MB", RandomBytes(1 << 20, 2, 2)},
        {"skewed 2 MB", SkewedBytes(2 << 20, 3)},
        {"repeating runs 1 MB", RepeatingRuns(1 << 20, 4)},
        {"rotating favourites 1 MB", RotatingFavourites(1 << 20, 5)},
        {"Fibonacci weights 1 MB", FibonacciWeighted(1 << 20, 6)},
    };
    for (const auto& [name, data] : cases) {
        std::vector<std::uint8_t> decoded = RoundTrip(data);
        EXPECT_EQ(decoded.size(), data.size()) << name; // our encoder never passes the end
        EXPECT_TRUE(decoded == data) << name;
    }
}

TEST(LzhDecode, NonPositiveSizeGivesNothing) {
    const std::uint8_t bits[] = {0xFF, 0x00, 0x12};
    EXPECT_TRUE(TLZH::Decode(bits, 0).empty());
    EXPECT_TRUE(TLZH::Decode(bits, -5).empty());
}

TEST(LzhDecode, ExhaustedInputDecodesZeroBitsUntilSizeReached) {
    // All-zero bits always walk to the first child: the result is deterministic and exactly
    // what an explicitly zero-padded stream gives.
    const std::vector<std::uint8_t> none;
    const std::vector<std::uint8_t> zeros(4096, 0);
    const std::vector<std::uint8_t> a = TLZH::Decode(none, 5000);
    const std::vector<std::uint8_t> b = TLZH::Decode(zeros, 5000);
    EXPECT_GE(a.size(), 5000u);
    EXPECT_TRUE(a == b);
}

TEST(LzhDecode, LastMatchIsCopiedWhole) {
    // Asking for fewer bytes still finishes the match in progress.
    const std::vector<std::uint8_t> spaces(600, 0x20);
    const std::vector<std::uint8_t> packed = TLZH::Encode(spaces);
    const std::vector<std::uint8_t> out = TLZH::Decode(packed, 1);
    EXPECT_EQ(out.size(), std::size_t(TLZH::kLongestMatch));
    EXPECT_EQ(out, std::vector<std::uint8_t>(TLZH::kLongestMatch, 0x20));
}

TEST(LzhDecode, AbsurdSizeThrowsTheMemoryMessage) {
    try {
        TLZH::Decode({}, std::numeric_limits<std::int64_t>::max());
        FAIL();
    } catch (const ElzhException& e) {
        EXPECT_STREQ(e.what(), kLzhNoMemoryMessage);
    }
}

} // namespace
} // namespace veltrane
