#include "toolkit/skin/SkinReader.h"

#include "base/Bytes.h"
#include "toolkit/skin/Lzh.h"

#include <algorithm>

namespace veltrane {

std::optional<std::size_t> SkinNameListOffset(std::int32_t version) {
    switch (version) {
    case kSkinVersion2:
        return 16;
    case kSkinVersion3:
        return 272;
    case kSkinVersion4:
        return 96;
    default:
        return std::nullopt;
    }
}

std::vector<std::string> SplitSkinNames(std::string_view list) {
    std::vector<std::string> names;
    std::size_t i = 0;
    while (i < list.size()) {
        const std::size_t end = std::min(list.find_first_of("\r\n", i), list.size());
        names.emplace_back(list.substr(i, end - i));
        i = end;
        if (i < list.size() && list[i] == '\r')
            ++i;
        if (i < list.size() && list[i] == '\n')
            ++i;
    }
    return names;
}

bool TSkinReader::Fail(std::string reason) {
    error_ = std::move(reason);
    names_.clear();
    storedNames_.clear();
    offsets_.clear();
    byName_.clear();
    return false;
}

bool TSkinReader::Open(std::span<const std::uint8_t> packed, MessageSink& sink) {
    unpacked_.clear();
    if (packed.size() < 4)
        return Fail("packed skin shorter than its size field");
    const std::int32_t size = LoadLeI32(packed, 0);
    if (size < 0 || size > kMaxUnpackedSkinSize)
        return Fail("unpacked skin size " + std::to_string(size) + " out of range");
    try {
        unpacked_ = TLZH::Decode(packed.subspan(4), size);
    } catch (const ElzhException& e) {
        return Fail(e.what());
    }
    return Parse(sink);
}

bool TSkinReader::OpenUnpacked(std::vector<std::uint8_t> unpacked, MessageSink& sink) {
    unpacked_ = std::move(unpacked);
    return Parse(sink);
}

bool TSkinReader::Parse(MessageSink& sink) {
    error_.clear();
    names_.clear();
    storedNames_.clear();
    offsets_.clear();
    byName_.clear();
    const std::span<const std::uint8_t> all = unpacked_;
    if (all.size() < kSkinHeaderSize)
        return Fail("skin package shorter than its header");
    version_ = LoadLeI32(all, 0);
    const std::optional<std::size_t> listAt = SkinNameListOffset(version_);
    if (!listAt) {
        sink.ShowMessage(kSkinVersionMismatchMessage);
        return Fail("unknown skin package version " + std::to_string(version_));
    }
    const std::int32_t listLength = LoadLeI32(all, 4);
    if (listLength < 0 || *listAt > all.size() || std::size_t(listLength) > all.size() - *listAt)
        return Fail("member-name list runs past the end of the package");
    const std::string_view list(reinterpret_cast<const char*>(all.data() + *listAt), std::size_t(listLength));
    std::vector<std::string> names = SplitSkinNames(list);
    if (names.size() > kMaxSkinMembers)
        return Fail("more than 1001 members");

    const std::size_t tableAt = *listAt + std::size_t(listLength);
    if (names.size() * 4 > all.size() - tableAt)
        return Fail("size table runs past the end of the package");
    std::size_t offset = tableAt + names.size() * 4;
    std::vector<std::size_t> offsets{offset};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::int32_t size = LoadLeI32(all, tableAt + 4 * i);
        if (size < 0 || std::size_t(size) > all.size() - offset)
            return Fail("member \"" + names[i] + "\" runs past the member data");
        offset += std::size_t(size);
        offsets.push_back(offset);
    }
    storedNames_ = std::move(names);
    for (const std::string& name : storedNames_) {
        byName_.try_emplace(AsciiLowered(name), names_.size());
        names_.push_back(AsciiLowered(name));
    }
    offsets_ = std::move(offsets);
    return true;
}

TSkinReader::Member TSkinReader::MemberAt(std::size_t index) const {
    const std::span<const std::uint8_t> all = unpacked_;
    return {names_[index], all.subspan(offsets_[index], offsets_[index + 1] - offsets_[index])};
}

std::span<const std::uint8_t> TSkinReader::MemberByName(std::string_view name) const {
    const auto found = byName_.find(AsciiLowered(name));
    return found == byName_.end() ? std::span<const std::uint8_t>{} : MemberAt(found->second).data;
}

std::optional<TSkinReader::Member> TSkinReader::MemberByFragment(std::string_view fragment) const {
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (names_[i].find(fragment) != std::string::npos)
            return MemberAt(i);
    return std::nullopt;
}

} // namespace veltrane

namespace veltrane {

std::vector<std::uint8_t> TSkinReader::TakeUnpacked() {
    names_.clear();
    storedNames_.clear();
    offsets_.clear();
    byName_.clear();
    return std::move(unpacked_);
}

} // namespace veltrane
