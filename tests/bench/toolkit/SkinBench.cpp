// Decode throughput against a plain decoder written straight from the published LZHUF
// algorithm, on English-like text and on low-redundancy text, and the full load of our stored skin.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "toolkit/skin/Lzh.h"
#include "toolkit/skin/SkinIni.h"
#include "toolkit/skin/SkinLoader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The published decoder as it stands: one bit at a time through a 16-bit buffer, a ring window,
// the tree walk and update with a linear search for the node to swap with.
class PlainLzhuf {
public:
    Bytes Decode(const Bytes& in, std::size_t inAt, long textsize) {
        in_ = &in;
        inPos_ = inAt;
        getbuf_ = 0;
        getlen_ = 0;
        Bytes out;
        StartHuff();
        for (int i = 0; i < N; ++i)
            textBuf_[std::size_t(i)] = ' ';
        int r = N - F;
        for (long count = 0; count < textsize;) {
            int c = DecodeChar();
            if (c < 256) {
                out.push_back(std::uint8_t(c));
                textBuf_[std::size_t(r++)] = std::uint8_t(c);
                r &= (N - 1);
                count++;
            } else {
                const int i = (r - DecodePosition() - 1) & (N - 1);
                const int j = c - 255 + THRESHOLD;
                for (int k = 0; k < j; k++) {
                    c = textBuf_[std::size_t((i + k) & (N - 1))];
                    out.push_back(std::uint8_t(c));
                    textBuf_[std::size_t(r++)] = std::uint8_t(c);
                    r &= (N - 1);
                    count++;
                }
            }
        }
        return out;
    }

private:
    static constexpr int N = 4096, F = 60, THRESHOLD = 2;
    static constexpr int N_CHAR = 256 - THRESHOLD + F, T = N_CHAR * 2 - 1, R = T - 1;
    static constexpr unsigned MAX_FREQ = 0x8000;

    int GetC() { return inPos_ < in_->size() ? (*in_)[inPos_++] : -1; }

    int GetBit() {
        while (getlen_ <= 8) {
            int i = GetC();
            if (i < 0)
                i = 0;
            getbuf_ |= unsigned(i) << (8 - getlen_);
            getlen_ += 8;
        }
        const unsigned i = getbuf_;
        getbuf_ = (getbuf_ << 1) & 0xFFFF;
        getlen_--;
        return int((i & 0x8000) >> 15);
    }

    int GetByte() {
        while (getlen_ <= 8) {
            int i = GetC();
            if (i < 0)
                i = 0;
            getbuf_ |= unsigned(i) << (8 - getlen_);
            getlen_ += 8;
        }
        const unsigned i = getbuf_;
        getbuf_ = (getbuf_ << 8) & 0xFFFF;
        getlen_ -= 8;
        return int((i & 0xFF00) >> 8);
    }

    void StartHuff() {
        int i, j;
        for (i = 0; i < N_CHAR; i++) {
            freq_[std::size_t(i)] = 1;
            son_[std::size_t(i)] = i + T;
            prnt_[std::size_t(i + T)] = i;
        }
        i = 0;
        j = N_CHAR;
        while (j <= R) {
            freq_[std::size_t(j)] = freq_[std::size_t(i)] + freq_[std::size_t(i + 1)];
            son_[std::size_t(j)] = i;
            prnt_[std::size_t(i)] = prnt_[std::size_t(i + 1)] = j;
            i += 2;
            j++;
        }
        freq_[T] = 0xFFFF;
        prnt_[R] = 0;
    }

    void Reconst() {
        int i, j, k;
        unsigned f;
        j = 0;
        for (i = 0; i < T; i++) {
            if (son_[std::size_t(i)] >= T) {
                freq_[std::size_t(j)] = (freq_[std::size_t(i)] + 1) / 2;
                son_[std::size_t(j)] = son_[std::size_t(i)];
                j++;
            }
        }
        for (i = 0, j = N_CHAR; j < T; i += 2, j++) {
            k = i + 1;
            f = freq_[std::size_t(j)] = freq_[std::size_t(i)] + freq_[std::size_t(k)];
            for (k = j - 1; f < freq_[std::size_t(k)]; k--)
                ;
            k++;
            for (int m = j; m > k; --m) {
                freq_[std::size_t(m)] = freq_[std::size_t(m - 1)];
                son_[std::size_t(m)] = son_[std::size_t(m - 1)];
            }
            freq_[std::size_t(k)] = f;
            son_[std::size_t(k)] = i;
        }
        for (i = 0; i < T; i++) {
            if ((k = son_[std::size_t(i)]) >= T)
                prnt_[std::size_t(k)] = i;
            else
                prnt_[std::size_t(k)] = prnt_[std::size_t(k + 1)] = i;
        }
    }

    void Update(int c) {
        int i, j, l;
        unsigned k;
        if (freq_[R] == MAX_FREQ)
            Reconst();
        c = prnt_[std::size_t(c + T)];
        do {
            k = ++freq_[std::size_t(c)];
            if (k > freq_[std::size_t(l = c + 1)]) {
                while (k > freq_[std::size_t(++l)])
                    ;
                l--;
                freq_[std::size_t(c)] = freq_[std::size_t(l)];
                freq_[std::size_t(l)] = k;
                i = son_[std::size_t(c)];
                prnt_[std::size_t(i)] = l;
                if (i < T)
                    prnt_[std::size_t(i + 1)] = l;
                j = son_[std::size_t(l)];
                son_[std::size_t(l)] = i;
                prnt_[std::size_t(j)] = c;
                if (j < T)
                    prnt_[std::size_t(j + 1)] = c;
                son_[std::size_t(c)] = j;
                c = l;
            }
        } while ((c = prnt_[std::size_t(c)]) != 0);
    }

    int DecodeChar() {
        unsigned c = unsigned(son_[R]);
        while (c < unsigned(T)) {
            c += unsigned(GetBit());
            c = unsigned(son_[c]);
        }
        c -= T;
        Update(int(c));
        return int(c);
    }

    int DecodePosition() {
        unsigned i = unsigned(GetByte());
        const unsigned c = unsigned(DCode()[i]) << 6;
        unsigned j = DLen()[i];
        j -= 2;
        while (j--)
            i = (i << 1) + unsigned(GetBit());
        return int(c | (i & 0x3F));
    }

    // The published tables, written out by their run lengths.
    static const std::array<std::uint8_t, 256>& DCode() {
        static const std::array<std::uint8_t, 256> table = [] {
            std::array<std::uint8_t, 256> t{};
            const int runs[][2] = {{1, 32}, {3, 16}, {8, 8}, {12, 4}, {24, 2}, {16, 1}};
            int at = 0, code = 0;
            for (const auto& run : runs)
                for (int n = 0; n < run[0]; ++n, ++code)
                    for (int k = 0; k < run[1]; ++k)
                        t[std::size_t(at++)] = std::uint8_t(code);
            return t;
        }();
        return table;
    }
    static const std::array<std::uint8_t, 256>& DLen() {
        static const std::array<std::uint8_t, 256> table = [] {
            std::array<std::uint8_t, 256> t{};
            const int counts[][2] = {{32, 3}, {48, 4}, {64, 5}, {48, 6}, {48, 7}, {16, 8}};
            int at = 0;
            for (const auto& c : counts)
                for (int k = 0; k < c[0]; ++k)
                    t[std::size_t(at++)] = std::uint8_t(c[1]);
            return t;
        }();
        return table;
    }

    const Bytes* in_ = nullptr;
    std::size_t inPos_ = 0;
    unsigned getbuf_ = 0;
    int getlen_ = 0;
    std::array<unsigned, T + 1> freq_{};
    std::array<int, T + N_CHAR> prnt_{};
    std::array<int, T> son_{};
    std::array<std::uint8_t, N + F - 1> textBuf_{};
};

// English-like text: Zipf-weighted words, sentences, paragraphs, 72-column lines with CR LF.
Bytes TextLike(std::size_t size) {
    static const char* const kWords[] = {
        "the",       "of",     "and",     "to",      "a",      "in",       "is",     "it",     "you",
        "that",      "he",     "was",     "for",     "on",     "are",      "with",   "as",     "his",
        "they",      "be",     "at",      "one",     "have",   "this",     "from",   "or",     "had",
        "by",        "hot",    "word",    "but",     "what",   "some",     "we",     "can",    "out",
        "other",     "were",   "all",     "there",   "when",   "up",       "use",    "your",   "how",
        "said",      "an",     "each",    "she",     "which",  "do",       "their",  "time",   "if",
        "will",      "way",    "about",   "many",    "then",   "them",     "write",  "would",  "like",
        "so",        "these",  "her",     "long",    "make",   "thing",    "see",    "him",    "two",
        "has",       "look",   "more",    "day",     "could",  "go",       "come",   "did",    "number",
        "sound",     "no",     "most",    "people",  "my",     "over",     "know",   "water",  "than",
        "call",      "first",  "who",     "may",     "down",   "side",     "been",   "now",    "find",
        "partition", "driver", "protect", "restart", "window", "password", "shadow", "system", "skin"};
    constexpr std::size_t kCount = std::size(kWords);
    std::vector<double> weights(kCount);
    for (std::size_t i = 0; i < kCount; ++i)
        weights[i] = 1.0 / double(i + 1);
    std::mt19937 rng(0x5EED0200);
    std::discrete_distribution<std::size_t> word(weights.begin(), weights.end());
    std::string text, line;
    const auto flushLine = [&] {
        text += line + "\r\n";
        line.clear();
    };
    while (text.size() < size) {
        const int sentences = 3 + int(rng() % 6);
        for (int s = 0; s < sentences; ++s) {
            const int words = 4 + int(rng() % 15);
            for (int w = 0; w < words; ++w) {
                std::string token = rng() % 40 == 0 ? std::to_string(rng() % 1000) : kWords[word(rng)];
                if (w == 0)
                    token[0] = veltrane::AsciiUpper(token[0]);
                token += w + 1 == words ? "." : rng() % 12 == 0 ? "," : "";
                if (line.size() + token.size() + 1 > 72)
                    flushLine();
                line += (line.empty() ? "" : " ") + token;
            }
        }
        flushLine();
        text += "\r\n";
    }
    text.resize(size);
    return Bytes(text.begin(), text.end());
}

// Low redundancy: words drawn uniformly from a vocabulary of random lower-case strings. Few words
// repeat within the 4096-byte window, so the stream is mostly literals (about 0.6 of the size):
// the decoder's literal path is what this measures.
Bytes RandomWords(std::size_t size) {
    std::mt19937 rng(0x5EED0300);
    std::vector<std::string> vocabulary(3000);
    for (std::string& word : vocabulary) {
        word.resize(2 + rng() % 9);
        for (char& ch : word)
            ch = char('a' + rng() % 26);
    }
    std::string text, line;
    while (text.size() < size) {
        const std::string& word = vocabulary[rng() % vocabulary.size()];
        if (line.size() + word.size() + 1 > 72) {
            text += line + "\r\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    text.resize(size);
    return Bytes(text.begin(), text.end());
}

struct Corpus {
    Bytes original;
    Bytes packed;
};

// Both decoders must agree with the original before their speed means anything.
Corpus MakeCorpus(Bytes original, const char* name) {
    Corpus c{std::move(original), {}};
    c.packed = veltrane::TLZH::EncodeWithSize(c.original);
    Bytes plain = PlainLzhuf().Decode(c.packed, 4, long(c.original.size()));
    Bytes ours = veltrane::TLZH::Decode(std::span(c.packed).subspan(4), std::int64_t(c.original.size()));
    plain.resize(c.original.size());
    ours.resize(c.original.size());
    if (plain != c.original || ours != c.original) {
        std::fprintf(stderr, "decoders disagree with the original %s\n", name);
        std::abort();
    }
    return c;
}

constexpr std::size_t kCorpusSize = 10 * 1024 * 1024;

const Corpus& TextCorpus() {
    static const Corpus corpus = MakeCorpus(TextLike(kCorpusSize), "text");
    return corpus;
}

const Corpus& WordsCorpus() {
    static const Corpus corpus = MakeCorpus(RandomWords(kCorpusSize), "random words");
    return corpus;
}

void Describe(benchmark::State& state, const Corpus& c) {
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(c.original.size()));
    state.counters["packed_ratio"] = double(c.packed.size()) / double(c.original.size());
}

void BM_DecodePlainBaseline(benchmark::State& state, const Corpus& (*corpus)()) {
    const Corpus& c = corpus();
    PlainLzhuf decoder;
    for (auto _ : state)
        benchmark::DoNotOptimize(decoder.Decode(c.packed, 4, long(c.original.size())));
    Describe(state, c);
}

void BM_DecodeTLZH(benchmark::State& state, const Corpus& (*corpus)()) {
    const Corpus& c = corpus();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            veltrane::TLZH::Decode(std::span(c.packed).subspan(4), std::int64_t(c.original.size())));
    Describe(state, c);
}

BENCHMARK_CAPTURE(BM_DecodePlainBaseline, text, TextCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeTLZH, text, TextCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodePlainBaseline, words, WordsCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeTLZH, words, WordsCorpus)->Unit(benchmark::kMillisecond);

class SilentSink : public veltrane::MessageSink {
public:
    void ShowMessage(std::wstring_view) override {}
};

void BM_LoadHarborSkin(benchmark::State& state) {
    std::ifstream in(HARBOR_SKINSTREAM, std::ios::binary);
    const Bytes value{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    SilentSink sink;
    if (!veltrane::LoadSkinStream(value, sink)) {
        state.SkipWithError("the stored skin does not load");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(veltrane::LoadSkinStream(value, sink));
}
BENCHMARK(BM_LoadHarborSkin)->Unit(benchmark::kMicrosecond);

// Reading a key of every section of a description with state.range(0) sections: linear in their
// count, as each section is found in constant time (a scan of the headers made it 540 ms for 10,000).
void BM_IniReadEverySection(benchmark::State& state) {
    std::string text;
    for (std::int64_t i = 0; i < state.range(0); ++i)
        text += "[Button" + std::to_string(i) + "]\r\nAction=" + std::to_string(i) + "\r\n";
    veltrane::TSkinIni ini;
    ini.Load(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    const std::vector<std::string> names = ini.SectionNames();
    for (auto _ : state)
        for (const std::string& name : names)
            benchmark::DoNotOptimize(ini.ReadInteger(name, "Action", 0));
}
BENCHMARK(BM_IniReadEverySection)->RangeMultiplier(10)->Range(100, 10000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
