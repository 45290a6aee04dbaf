#pragma once
// The unpacked size a fuzz input may declare. No LZHUF stream unpacks by more than 48 times (a
// 60-byte match costs at least 10 bits), so a size up to 64 times the packed bytes plus one window
// stands, up to the reader's 16 MB: every real stream, the stored skin's included, decodes whole. A
// larger one, as a mutated size field gives, is folded to at most the packed bytes plus one window,
// so that random sizes cost no more than the input is long.
#include <algorithm>
#include <cstdint>

#include "toolkit/skin/SkinReader.h"

inline std::int64_t FuzzUnpackedSize(std::int32_t declared, std::size_t packedBytes) {
    constexpr std::int64_t kRatio = 64;
    constexpr std::int64_t kWindow = 4096;
    const std::int64_t packed = std::int64_t(packedBytes);
    if (declared <= std::min(kRatio * packed + kWindow, veltrane::kMaxUnpackedSkinSize))
        return declared;
    return declared % (packed + kWindow + 1);
}
