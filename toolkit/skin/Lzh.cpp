#include "toolkit/skin/Lzh.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "base/Bytes.h"

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

    void Update(int symbol) {
        if (freq_[kRoot] == kRebuildFrequency)
            Rebuild();
        UpdateFrom(parent_[symbol + kNodes], [](int, int) {});
    }

protected:
    // Increments c and its ancestors, exchanging where the order breaks; each exchange of two
    // nodes' subtrees is reported. c may be node 0 (a leaf); only the root's parent is 0.
    template <class OnExchange> void UpdateFrom(int c, OnExchange onExchange) {
        do {
            const unsigned k = ++freq_[c];
            if (k > freq_[c + 1]) {
                const int l = SwapWithLastBelow(c, k);
                onExchange(c, l);
                c = l;
            }
        } while ((c = parent_[c]) != 0);
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
        return l;
    }

    void Rebuild() {
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
            // After the last node not above f; nodes 0 to n - 1 are in order, i + 1 is not above f.
            const int k = int(std::upper_bound(&freq_[i + 2], &freq_[n], f) - freq_.data());
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

    // Room past the sentinel for the decoder's padding nodes (see DecodingTree).
    static constexpr int kSpareNodes = 16;

    std::array<std::uint16_t, kNodes + 1 + kSpareNodes> freq_{};
    std::array<std::uint16_t, kNodes + kSymbols> parent_{};
    std::array<std::uint16_t, kNodes> son_{};

private:
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
        for (int i = kNodes + 2; i < int(freq_.size()); i += 2)
            freq_[std::size_t(i)] = 0xFFFF;
        parent_[kRoot] = 0;
    }
};

// The decoder's tree also keeps, for every pattern of the next kLookupBits input bits, the walk
// from the root: the node it stops at (a leaf, or the node at that depth) and the nodes passed.
// Most symbols then need one lookup and no bit-by-bit walk. An exchange only changes what hangs
// below the two nodes, and nothing that a walk records when both are leaves (a walk records
// nodes, not symbols), so few exchanges cost any walking.
//
// Not while the tree is unsettled, though: at the start and after a rebuild many frequencies are
// equal, nearly every symbol exchanges inner nodes at several levels, and keeping the walks would
// cost more than they save. Until kSettledSymbols symbols in a row exchange no inner node, the
// decoder walks bit by bit and the walks are not kept.
class DecodingTree : public AdaptiveTree {
public:
    static constexpr int kLookupBits = 8;

    struct Walk {
        std::uint16_t node;
        std::uint16_t bits;
        // The nodes below the root, the stopping node last; then padding nodes whose increments
        // never break the order, so that the update runs a fixed number of steps. Each level has
        // its own padding node: one shared node would chain the increments.
        std::array<std::uint16_t, kLookupBits> path;
    };

    static constexpr int kSettledSymbols = 16;

    bool Settled() const { return settled_; }

    const Walk& Lookup(unsigned pattern) const { return walks_[pattern]; }

    // The update while unsettled, with the parent links.
    void UpdateUnsettled(int symbol) {
        if (freq_[kRoot] == kRebuildFrequency)
            Rebuild();
        bool inner = false;
        UpdateFrom(parent_[symbol + kNodes],
                   [&](int c, int l) { inner |= son_[c] < kNodes || son_[l] < kNodes; });
        calm_ = inner ? 0 : calm_ + 1;
        if (calm_ == kSettledSymbols) {
            Walk top{};
            WalkFrom(kRoot, 0, 0, top);
            settled_ = true;
        }
    }

    // The update for a symbol found by the lookup alone: its whole path is in the walk.
    void UpdateShallow(int symbol, const Walk& walk) {
        if (freq_[kRoot] == kRebuildFrequency) [[unlikely]]
            return RebuildAndUpdate(symbol);
        for (int i = kLookupBits - 1; i >= 0; --i) {
            std::uint16_t* const node = freq_.data() + walk.path[std::size_t(i)];
            const unsigned k = ++node[0];
            if (k > node[1]) [[unlikely]]
                return ExchangeAndGoOn(int(node - freq_.data()), k);
        }
        ++freq_[kRoot];
    }

    // The update for a symbol whose walk went deeper, with the nodes below the root recorded.
    void UpdateDeep(int symbol, const std::uint16_t* path, int depth) {
        if (freq_[kRoot] == kRebuildFrequency)
            return RebuildAndUpdate(symbol);
        for (int i = depth - 1; i >= 0; --i) {
            const int c = path[i];
            const unsigned k = ++freq_[c];
            if (k > freq_[c + 1])
                return ExchangeAndGoOn(c, k);
        }
        ++freq_[kRoot];
    }

private:
    static constexpr std::uint16_t Padding(int level) { return std::uint16_t(kNodes + 1 + 2 * level); }
    static_assert(2 * kLookupBits <= kSpareNodes, "a padding node and its sentinel per level");

    // The rare parts stay out of line, which keeps the decoding loop's state in registers.
    [[gnu::noinline]] void ExchangeAndGoOn(int c, unsigned k) {
        const int l = SwapWithLastBelow(c, k);
        Exchanged(c, l);
        UpdateOn(parent_[l]);
    }

    // The rest of an update, from c upward.
    void UpdateOn(int c) {
        UpdateFrom(c, [this](int a, int b) { Exchanged(a, b); });
    }

    void Exchanged(int c, int l) {
        if (son_[c] >= kNodes && son_[l] >= kNodes)
            return;
        WalkBelow(c);
        WalkBelow(l);
    }

    [[gnu::noinline]] void RebuildAndUpdate(int symbol) {
        settled_ = false;
        calm_ = 0;
        UpdateUnsettled(symbol);
    }

    // Finds where the node sits (its depth and the bits that lead to it) and walks again every
    // pattern that passes it. A node at the lookup's depth or below needs nothing: a walk stops
    // there at the latest, and it records the node, not what hangs below. The nodes above have
    // not moved, so any pattern's walk still holds the way down to the node.
    [[gnu::noinline]] void WalkBelow(int node) {
        int depth = 0;
        unsigned code = 0;
        for (int n = node; n != kRoot; n = parent_[n]) {
            code |= unsigned(n - son_[parent_[n]]) << depth;
            if (++depth == kLookupBits)
                return;
        }
        Walk walk = walks_[code << (kLookupBits - depth)];
        WalkFrom(node, depth, code, walk);
    }

    // walk.path holds the way down to node, which the first `depth` bits, `code`, lead to.
    void WalkFrom(int node, int depth, unsigned code, Walk& walk) {
        if (depth == kLookupBits || son_[node] >= kNodes) {
            walk.node = std::uint16_t(node);
            walk.bits = std::uint16_t(depth);
            for (int i = depth; i < kLookupBits; ++i)
                walk.path[std::size_t(i)] = Padding(i);
            const unsigned first = code << (kLookupBits - depth);
            std::fill_n(walks_.begin() + first, std::size_t(1) << (kLookupBits - depth), walk);
            return;
        }
        for (int bit = 0; bit < 2; ++bit) {
            const int child = son_[node] + bit;
            walk.path[std::size_t(depth)] = std::uint16_t(child);
            WalkFrom(child, depth + 1, code << 1 | unsigned(bit), walk);
        }
    }

    std::array<Walk, 1 << kLookupBits> walks_{};
    bool settled_ = false;
    int calm_ = 0; // symbols in a row, while unsettled, that exchanged no inner node
};

// Most significant bit first; past the end of the input only zero bits arrive. Small enough to
// live in registers: the decoder's byte stores could otherwise alias it and force reloads.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> in) : next_(in.data()), end_(in.data() + in.size()) {}

    // Afterwards at least 56 bits are pending. Bits below the pending ones may already hold the
    // input that follows; a later fill ORs in the same bits again.
    void Fill() {
        if (end_ - next_ >= 8) [[likely]] {
            std::uint64_t word = 0;
            for (int i = 0; i < 8; ++i) // one byte-swapping load once optimised
                word = word << 8 | next_[i];
            buffer_ |= word >> count_;
            next_ += (63 - count_) >> 3;
            count_ |= 56;
            return;
        }
        while (count_ <= 56) {
            const std::uint64_t byte = next_ < end_ ? *next_++ : 0;
            buffer_ |= byte << (56 - count_);
            count_ += 8;
        }
    }

    int Pending() const { return int(count_); }
    unsigned Peek(int n) const { return unsigned(buffer_ >> (64 - n)); }

    void Skip(int n) {
        buffer_ <<= n;
        count_ -= unsigned(n);
    }

    unsigned Bit() {
        if (count_ == 0) [[unlikely]]
            Fill();
        const unsigned bit = unsigned(buffer_ >> 63);
        Skip(1);
        return bit;
    }

private:
    const std::uint8_t* next_;
    const std::uint8_t* end_;
    std::uint64_t buffer_ = 0;
    unsigned count_ = 0;
};

// The walk below the lookup's depth, one bit at a time.
[[gnu::noinline]] int DecodeDeep(DecodingTree& tree, BitReader& bits, const DecodingTree::Walk& walk) {
    std::array<std::uint16_t, kNodes> path; // a path never repeats a node
    std::copy(walk.path.begin(), walk.path.end(), path.begin());
    int depth = walk.bits;
    int c = tree.Son(walk.node);
    while (c < kNodes) {
        const int node = c + int(bits.Bit());
        path[std::size_t(depth++)] = std::uint16_t(node);
        c = tree.Son(node);
    }
    tree.UpdateDeep(c - kNodes, path.data(), depth);
    bits.Fill(); // the caller counts on what a lookup and a position leave of one fill
    return c - kNodes;
}

// The walk from the root while the tree is unsettled, one bit at a time.
[[gnu::noinline]] int DecodeUnsettled(DecodingTree& tree, BitReader& bits) {
    int c = tree.Son(kRoot);
    while (c < kNodes)
        c = tree.Son(c + int(bits.Bit()));
    tree.UpdateUnsettled(c - kNodes);
    bits.Fill(); // the caller counts on what a lookup and a position leave of one fill
    return c - kNodes;
}

// Decodes one symbol and updates the tree for it; needs kLookupBits bits pending.
int DecodeSymbol(DecodingTree& tree, BitReader& bits) {
    if (!tree.Settled()) [[unlikely]] {
        BitReader unsettled = bits; // passed on by value: the reader's address must not escape
        const int symbol = DecodeUnsettled(tree, unsettled);
        bits = unsettled;
        return symbol;
    }
    const DecodingTree::Walk& walk = tree.Lookup(bits.Peek(DecodingTree::kLookupBits));
    bits.Skip(walk.bits);
    const int c = tree.Son(walk.node);
    if (c < kNodes) [[unlikely]] {
        BitReader deep = bits; // passed on by value: the reader's address must not escape
        const int symbol = DecodeDeep(tree, deep, walk);
        bits = deep;
        return symbol;
    }
    tree.UpdateShallow(c - kNodes, walk);
    return c - kNodes;
}

// The first 8 bits choose the upper six bits of the position and how many bits the code takes
// in all (8 to 14); the lower six bits are the last six of those.
int DecodePosition(BitReader& bits) {
    if (bits.Pending() < 14) [[unlikely]]
        bits.Fill();
    const unsigned first = bits.Peek(8);
    const int total = kPositions.length[first] + 6;
    const unsigned lower = bits.Peek(total) & 0x3F;
    bits.Skip(total);
    return int(unsigned(kPositions.code[first]) << 6 | lower);
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
constexpr int kShortCopy = 16;
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

    DecodingTree tree;
    BitReader reader(bits);
    std::uint8_t* const begin = out.data();
    std::uint8_t* dst = begin;
    const std::uint8_t* const end = begin + size;
    const auto step = [&] {
        const int symbol = DecodeSymbol(tree, reader);
        if (symbol < 256) {
            *dst++ = std::uint8_t(symbol);
            return;
        }
        const int distance = DecodePosition(reader) + 1;
        const int length = symbol - 255 + kThreshold;
        const std::ptrdiff_t from = (dst - begin) - distance;
        if (from < 0) {
            for (std::ptrdiff_t k = 0; k < length; ++k)
                dst[k] = from + k < 0 ? kPrefill : begin[from + k];
        } else if (distance >= kShortCopy && length <= kShortCopy) {
            std::memcpy(dst, begin + from, kShortCopy); // fixed sizes: one or a few wide moves
        } else if (distance >= kCopyBlock) {
            std::memcpy(dst, begin + from, kCopyBlock);
        } else {
            CopyRepeating(dst, distance, length);
        }
        dst += length;
    };
    // One fill serves two symbols: a symbol found by the lookup takes at most 8 bits and its
    // position at most 14, and a deeper walk fills again.
    while (dst < end) {
        reader.Fill();
        step();
        if (dst >= end)
            break;
        step();
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
