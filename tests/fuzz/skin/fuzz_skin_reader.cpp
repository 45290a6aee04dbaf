// The package reader on unpacked bytes (the container checks) and on packed streams with a small
// declared size (the decoder has a target of its own).
#include <vector>

#include "toolkit/skin/SkinReader.h"

namespace {

class NullSink : public veltrane::MessageSink {
public:
    void ShowMessage(std::wstring_view) override {}
};

void Exercise(const veltrane::TSkinReader& reader) {
    std::size_t total = 0;
    for (std::size_t i = 0; i < reader.MemberCount(); ++i) {
        const auto member = reader.MemberAt(i);
        for (std::uint8_t b : member.data) // touch every byte so ASan sees any stray span
            total += b;
        total += reader.MemberByName(reader.StoredNames()[i]).size();
    }
    if (const auto ini = reader.MemberByFragment(".ini"))
        total += ini->data.size();
    if (total == 0xFFFFFFFF)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NullSink sink;
    veltrane::TSkinReader unpacked;
    if (unpacked.OpenUnpacked(std::vector<std::uint8_t>(data, data + size), sink))
        Exercise(unpacked);

    // Packed: the declared size kept under 512 bytes.
    if (size >= 4) {
        static std::vector<std::uint8_t> packed; // one buffer for every run
        packed.assign(data, data + size);
        packed[1] &= 0x01;
        packed[2] = 0;
        packed[3] = 0;
        veltrane::TSkinReader reader;
        if (reader.Open(packed, sink))
            Exercise(reader);
    }
    return 0;
}
