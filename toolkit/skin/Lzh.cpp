#include "toolkit/skin/Lzh.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "toolkit/Bytes.h"

namespace veltrane {
namespace {

constexpr int kSymbols = 256 - TLZH::kThreshold + TLZH::kLongestMatch; // 314
constexpr int kNodes = 2 * kSymbols - 1;                               // 627
constexpr int kRoot = kNodes - 1;
constexpr unsigned kRebuildFrequency = 0x8000;
constexpr std::uint8_t kPrefill = 0x20;

// Static position code: code c (the upper six bits of a position) has a bit length of 3 for c = 0,
// 4 for 1..3, 5 for 4..11, 6 for 12..23, 7 for 24..47 and 8 for 48..63, assigned canonically.
struct PositionTables {
    std::array<std::uint8_t, 256> code{}; // by first byte: upper six bits of the position
    std::array<std::uint8_t, 256> length{};
    std::array<std::uint8_t, 64> firstByte{}; // encoder: the byte whose top bits are code c
    std::array<std::uint8_t, 64> bits{};
};

constexpr int PositionCodeLength(int c) {
    return c < 1 ? 3 : c < 4 ? 4 : c < 12 ? 5 : c < 24 ? 6 : c < 48 ? 7 : 8;
}

constexpr PositionTables MakePositionTables() {
    PositionTables t;
    int byte = 0;
    for (int c = 0; c < 64; ++c) {
        const int len = PositionCodeLength(c);
        t.firstByte[c] = std::uint8_t(byte);
        t.bits[c] = std::uint8_t(len);
        for (int n = 0; n < (1 << (8 - len)); ++n, ++byte) {
            t.code[byte] = std::uint8_t(c);
            t.length[byte] = std::uint8_t(len);
        }
    }
    return t;
}

constexpr PositionTables kPositions = MakePositionTables();
static_assert(kPositions.code[0x1F] == 0 && kPositions.code[0x20] == 1 && kPositions.code[0xFF] == 63);

// The adaptive Huffman tree: nodes are kept in non-decreasing frequency order (the sibling
// property), children of an internal node sit at son and son + 1, leaves point past kNodes.
class AdaptiveTree {
public:
    AdaptiveTree() { Start(); }

    int Son(int node) const { return son_[node]; }
    int Parent(int node) const { return parent_[node]; }

    // The first kJumpBits levels below the root, walked once for every bit pattern. Valid until
    // a rebuild or an exchange touches a node whose children it read.
    static constexpr int kJumpBits = 4;
    struct Jump {
        std::uint16_t node; // where the pattern leads (a leaf if the walk ended early)
        std::uint16_t bits; // bits used to get there
        std::array<std::uint16_t, kJumpBits> path;
    };

    const Jump& JumpFor(unsigned pattern) {
        if (!jumpValid_)
            BuildJumps();
        return jumps_[pattern];
    }

    void Update(int symbol) {
        if (freq_[kRoot] == kRebuildFrequency)
            Rebuild();
        UpdateFrom(parent_[symbol + kNodes]);
    }

    // The same update when the walk down recorded the nodes from below the root to the leaf:
    // until the first exchange the parents are known, so the increments need no parent chasing.
    void UpdateAlong(int symbol, const std::uint16_t* path, int depth) {
        if (freq_[kRoot] == kRebuildFrequency) {
            Rebuild();
            UpdateFrom(parent_[symbol + kNodes]);
            return;
        }
        for (int i = depth - 1; i >= 0; --i) {
            const int c = path[i];
            const unsigned k = ++freq_[c];
            if (k > freq_[c + 1]) {
                UpdateFrom(parent_[SwapWithLastBelow(c, k)]);
                return;
            }
        }
        ++freq_[kRoot];
    }

private:
    // Increments c and its ancestors, exchanging where the order breaks. c may be node 0 (a
    // leaf); only the root's parent is 0.
    void UpdateFrom(int c) {
        do {
            const unsigned k = ++freq_[c];
            if (k > freq_[c + 1])
                c = SwapWithLastBelow(c, k);
        } while ((c = parent_[c]) != 0);
    }

    void Start() {
        for (int i = 0; i < kSymbols; ++i) {
            freq_[i] = 1;
            son_[i] = std::uint16_t(i + kNodes);
            parent_[i + kNodes] = std::uint16_t(i);
        }
        for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
            freq_[j] = std::uint16_t(freq_[i] + freq_[i + 1]);
            son_[j] = std::uint16_t(i);
            parent_[i] = parent_[i + 1] = std::uint16_t(j);
        }
        freq_[kNodes] = 0xFFFF;
        parent_[kRoot] = 0;
    }

    // The node after c still holds the old frequency; find the last one that does (the array is
    // sorted, so gallop then bisect) and trade places with it.
    int SwapWithLastBelow(int c, unsigned k) {
        int lo = c + 1;
        int hi = lo + 1;
        for (int step = 2; freq_[hi] < k; step <<= 1) {
            lo = hi;
            hi = std::min(lo + step, kNodes);
        }
        while (hi - lo > 1) {
            const int mid = (lo + hi) / 2;
            (freq_[mid] < k ? lo : hi) = mid;
        }
        const int l = lo;
        freq_[c] = freq_[l];
        freq_[l] = std::uint16_t(k);
        const int i = son_[c];
        parent_[i] = std::uint16_t(l);
        if (i < kNodes)
            parent_[i + 1] = std::uint16_t(l);
        const int j = son_[l];
        son_[l] = std::uint16_t(i);
        parent_[j] = std::uint16_t(c);
        if (j < kNodes)
            parent_[j + 1] = std::uint16_t(c);
        son_[c] = std::uint16_t(j);
        if (readByJumps_[c] | readByJumps_[l])
            jumpValid_ = false;
        return l;
    }

    void BuildJumps() {
        readByJumps_.fill(0);
        for (unsigned pattern = 0; pattern < jumps_.size(); ++pattern) {
            Jump& jump = jumps_[pattern];
            int node = kRoot;
            int used = 0;
            do {
                readByJumps_[node] = 1;
                node = son_[node] + int((pattern >> (kJumpBits - 1 - used)) & 1);
                jump.path[used++] = std::uint16_t(node);
            } while (used < kJumpBits && son_[node] < kNodes);
            jump.node = std::uint16_t(node);
            jump.bits = std::uint16_t(used);
        }
        jumpValid_ = true;
    }

    void Rebuild() {
        jumpValid_ = false;
        int j = 0;
        for (int i = 0; i < kNodes; ++i) {
            if (son_[i] >= kNodes) {
                freq_[j] = std::uint16_t((freq_[i] + 1) / 2);
                son_[j] = son_[i];
                ++j;
            }
        }
        for (int i = 0, n = kSymbols; n < kNodes; i += 2, ++n) {
            const unsigned f = unsigned(freq_[i]) + freq_[i + 1];
            int k = n - 1;
            while (f < freq_[k])
                --k;
            ++k;
            std::memmove(&freq_[k + 1], &freq_[k], sizeof freq_[0] * std::size_t(n - k));
            std::memmove(&son_[k + 1], &son_[k], sizeof son_[0] * std::size_t(n - k));
            freq_[k] = std::uint16_t(f);
            son_[k] = std::uint16_t(i);
        }
        for (int i = 0; i < kNodes; ++i) {
            const int k = son_[i];
            parent_[k] = std::uint16_t(i);
            if (k < kNodes)
                parent_[k + 1] = std::uint16_t(i);
        }
    }

    std::array<std::uint16_t, kNodes + 1> freq_{};
    std::array<std::uint16_t, kNodes + kSymbols> parent_{};
    std::array<std::uint16_t, kNodes> son_{};
    std::array<Jump, 1 << kJumpBits> jumps_{};
    std::array<std::uint8_t, kNodes> readByJumps_{};
    bool jumpValid_ = false;
};

// Most significant bit first; past the end of the input only zero bits arrive.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> in) : in_(in) {}

    unsigned Bit() {
        if (count_ == 0) [[unlikely]]
            Refill();
        const unsigned bit = unsigned(buffer_ >> 63);
        buffer_ <<= 1;
        --count_;
        return bit;
    }

    unsigned Peek(int n) {
        if (count_ < n)
            Refill();
        return unsigned(buffer_ >> (64 - n));
    }

    void Skip(int n) {
        buffer_ <<= n;
        count_ -= n;
    }

    unsigned Bits(int n) {
        if (count_ < n)
            Refill();
        const unsigned value = unsigned(buffer_ >> (64 - n));
        buffer_ <<= n;
        count_ -= n;
        return value;
    }

private:
    void Refill() {
        while (count_ <= 56) {
            const std::uint64_t byte = pos_ < in_.size() ? in_[pos_++] : 0;
            buffer_ |= byte << (56 - count_);
            count_ += 8;
        }
    }

    std::span<const std::uint8_t> in_;
    std::size_t pos_ = 0;
    std::uint64_t buffer_ = 0;
    int count_ = 0;
};

// Walks from the root to a leaf, recording the nodes passed for the update.
int DecodeSymbol(AdaptiveTree& tree, BitReader& bits, std::uint16_t* path, int& depth) {
    const AdaptiveTree::Jump& jump = tree.JumpFor(bits.Peek(AdaptiveTree::kJumpBits));
    bits.Skip(jump.bits);
    std::memcpy(path, jump.path.data(), sizeof jump.path);
    int n = jump.bits;
    int c = tree.Son(jump.node);
    while (c < kNodes) {
        const int node = c + int(bits.Bit());
        path[n++] = std::uint16_t(node);
        c = tree.Son(node);
    }
    depth = n;
    return c - kNodes;
}

int DecodePosition(BitReader& bits) {
    unsigned i = bits.Bits(8);
    const unsigned upper = kPositions.code[i];
    const int extra = kPositions.length[i] - 2;
    i = (i << extra) | bits.Bits(extra);
    return int(upper << 6 | (i & 0x3F));
}

class BitWriter {
public:
    void Put(std::uint32_t value, int n) {
        for (int b = n - 1; b >= 0; --b) {
            current_ = std::uint8_t(current_ << 1 | ((value >> b) & 1));
            if (++used_ == 8) {
                out_.push_back(current_);
                used_ = 0;
            }
        }
    }
    std::vector<std::uint8_t> Finish() {
        if (used_ != 0)
            out_.push_back(std::uint8_t(current_ << (8 - used_)));
        used_ = 0;
        return std::move(out_);
    }

private:
    std::vector<std::uint8_t> out_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

void EncodeSymbol(AdaptiveTree& tree, BitWriter& out, int symbol) {
    std::uint64_t code = 0;
    int depth = 0;
    for (int k = tree.Parent(symbol + kNodes); k != kRoot; k = tree.Parent(k))
        code |= std::uint64_t(k & 1) << depth++;
    for (int b = depth - 1; b >= 0; --b)
        out.Put(unsigned(code >> b) & 1, 1);
    tree.Update(symbol);
}

void EncodePosition(BitWriter& out, int position) {
    const int upper = position >> 6;
    const int len = kPositions.bits[upper];
    out.Put(kPositions.firstByte[upper] >> (8 - len), len);
    out.Put(unsigned(position) & 0x3F, 6);
}

// Finds matches in a history made of the pre-filled spaces followed by the input.
class MatchFinder {
public:
    explicit MatchFinder(std::span<const std::uint8_t> history) : history_(history) { head_.fill(-1); }

    struct Match {
        int length = 0;
        int distance = 0;
    };

    void Insert(int pos) {
        if (pos + 3 > int(history_.size()))
            return;
        const unsigned h = Hash(pos);
        chain_[std::size_t(pos) & kChainMask] = head_[h];
        head_[h] = pos;
    }

    Match Longest(int pos) const {
        Match best;
        const int limit = std::min<int>(TLZH::kLongestMatch, int(history_.size()) - pos);
        if (limit < TLZH::kThreshold + 1)
            return best;
        int candidate = head_[Hash(pos)];
        for (int tries = 0; candidate >= 0 && tries < kMaxTries; ++tries) {
            const int distance = pos - candidate;
            if (distance > TLZH::kWindowSize)
                break;
            if (distance > 0) {
                int len = 0;
                while (len < limit &&
                       history_[std::size_t(candidate + len)] == history_[std::size_t(pos + len)])
                    ++len;
                if (len > best.length) {
                    best = {len, distance};
                    if (len == limit)
                        break;
                }
            }
            candidate = chain_[std::size_t(candidate) & kChainMask];
        }
        return best;
    }

private:
    static constexpr std::size_t kChainMask = 2 * TLZH::kWindowSize - 1;
    static constexpr int kMaxTries = 96;

    unsigned Hash(int pos) const {
        const std::uint8_t* p = history_.data() + pos;
        return (unsigned(p[0]) << 8 ^ unsigned(p[1]) << 4 ^ p[2]) & 0xFFFF;
    }

    std::span<const std::uint8_t> history_;
    std::array<int, 0x10000> head_;
    std::array<int, kChainMask + 1> chain_{};
};

// Matches are copied in whole blocks; the output keeps this much room past the requested size.
constexpr int kCopyBlock = 64;
static_assert(kCopyBlock >= TLZH::kLongestMatch);

// dst[k] = dst[k - distance] for k < length, where the source may overlap what is being
// written: copy the part that exists, then ever larger runs of the repeating pattern.
void CopyRepeating(std::uint8_t* dst, int distance, int length) {
    const std::uint8_t* const src = dst - distance;
    std::uint8_t* d = dst;
    int left = length;
    while (left > 0) {
        const int chunk = std::min(int(d - src), left);
        std::memcpy(d, src, std::size_t(chunk));
        d += chunk;
        left -= chunk;
    }
}

} // namespace

std::vector<std::uint8_t> TLZH::Decode(std::span<const std::uint8_t> bits, std::int64_t size) {
    if (size <= 0)
        return {};
    // The output itself serves as the window; before its start the window reads as spaces, the
    // 60 positions the format leaves unset included.
    std::vector<std::uint8_t> out;
    const std::uint64_t needed = std::uint64_t(size) + kCopyBlock;
    if (needed > out.max_size() || needed > std::numeric_limits<std::size_t>::max())
        throw ElzhException(kLzhNoMemoryMessage);
    try {
        out.resize(std::size_t(needed));
    } catch (const std::bad_alloc&) {
        throw ElzhException(kLzhNoMemoryMessage);
    } catch (const std::length_error&) {
        throw ElzhException(kLzhNoMemoryMessage);
    }

    AdaptiveTree tree;
    BitReader reader(bits);
    std::array<std::uint16_t, kNodes + AdaptiveTree::kJumpBits> path; // paths never repeat a node
    std::uint8_t* const begin = out.data();
    std::uint8_t* dst = begin;
    const std::uint8_t* const end = begin + size;
    while (dst < end) {
        int depth = 0;
        const int symbol = DecodeSymbol(tree, reader, path.data(), depth);
        tree.UpdateAlong(symbol, path.data(), depth);
        if (symbol < 256) {
            *dst++ = std::uint8_t(symbol);
            continue;
        }
        const int distance = DecodePosition(reader) + 1;
        const int length = symbol - 255 + kThreshold;
        const std::ptrdiff_t from = (dst - begin) - distance;
        if (from < 0) {
            for (std::ptrdiff_t k = 0; k < length; ++k)
                dst[k] = from + k < 0 ? kPrefill : begin[from + k];
        } else if (distance >= kCopyBlock) {
            std::memcpy(dst, begin + from, kCopyBlock); // fixed size: two wide moves
        } else {
            CopyRepeating(dst, distance, length);
        }
        dst += length;
    }
    out.resize(std::size_t(dst - begin));
    return out;
}

std::vector<std::uint8_t> TLZH::Encode(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> history(std::size_t(kFirstWritePosition) + data.size(), kPrefill);
    if (!data.empty())
        std::memcpy(history.data() + kFirstWritePosition, data.data(), data.size());
    auto finder = std::make_unique<MatchFinder>(history);
    for (int p = 0; p < kFirstWritePosition; ++p)
        finder->Insert(p);

    AdaptiveTree tree;
    BitWriter out;
    const int total = int(history.size());
    int pos = kFirstWritePosition;
    while (pos < total) {
        MatchFinder::Match match = finder->Longest(pos);
        if (match.length > kThreshold && match.length < kLongestMatch && pos + 1 < total) {
            // One step of lazy matching: a longer match one byte on beats this one.
            finder->Insert(pos);
            const MatchFinder::Match next = finder->Longest(pos + 1);
            if (next.length > match.length + 1) {
                EncodeSymbol(tree, out, history[std::size_t(pos)]);
                ++pos;
                match = next;
                if (match.length > kThreshold) {
                    EncodeSymbol(tree, out, 255 - kThreshold + match.length);
                    EncodePosition(out, match.distance - 1);
                    for (int k = 0; k < match.length; ++k)
                        finder->Insert(pos + k);
                    pos += match.length;
                }
                continue;
            }
            EncodeSymbol(tree, out, 255 - kThreshold + match.length);
            EncodePosition(out, match.distance - 1);
            for (int k = 1; k < match.length; ++k)
                finder->Insert(pos + k);
            pos += match.length;
            continue;
        }
        if (match.length > kThreshold) {
            EncodeSymbol(tree, out, 255 - kThreshold + match.length);
            EncodePosition(out, match.distance - 1);
        } else {
            EncodeSymbol(tree, out, history[std::size_t(pos)]);
            match.length = 1;
        }
        for (int k = 0; k < match.length; ++k)
            finder->Insert(pos + k);
        pos += match.length;
    }
    return out.Finish();
}

std::vector<std::uint8_t> TLZH::EncodeWithSize(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out;
    AppendLe32(out, std::uint32_t(data.size()));
    const std::vector<std::uint8_t> bits = Encode(data);
    out.insert(out.end(), bits.begin(), bits.end());
    return out;
}

} // namespace veltrane
