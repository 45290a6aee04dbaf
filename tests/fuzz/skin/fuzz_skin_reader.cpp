// The package reader on unpacked bytes (the container checks) and, the same bytes, as a packed
// package with the unpacked size FuzzUnpackedSize allows: a real package, the stored one included,
// is read whole (the decoder has a target of its own).
#include <vector>

#include "tests/fuzz/skin/UnpackedSize.h"
#include "base/Bytes.h"
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
        if (reader.MemberByName(reader.StoredNames()[i]).data() > member.data.data()) // the first one wins
            __builtin_trap();
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

    if (size >= 4) {
        static std::vector<std::uint8_t> packed; // one buffer for every run
        packed.assign(data, data + size);
        const std::int64_t unpacked = FuzzUnpackedSize(veltrane::LoadLeI32(packed, 0), size - 4);
        veltrane::StoreLe32(packed, 0, std::uint32_t(unpacked));
        veltrane::TSkinReader reader;
        if (reader.Open(packed, sink))
            Exercise(reader);
    }
    return 0;
}
