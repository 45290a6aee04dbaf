#pragma once
// The skin package: an LZHUF-packed container of named members (the description and bitmaps).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace veltrane {

// Where the package reader reports what the user must see; the program shows it in its
// standard message box.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(std::wstring_view text) = 0;
};

inline constexpr wchar_t kSkinVersionMismatchMessage[] = L"此文件版本不同\r请升级新版本 !";

inline constexpr std::int32_t kSkinVersion2 = 20000;
inline constexpr std::int32_t kSkinVersion3 = 30000;
inline constexpr std::int32_t kSkinVersion4 = 40000;
inline constexpr std::size_t kSkinHeaderSize = 16;
inline constexpr std::size_t kMaxSkinMembers = 1001; // the reader holds at most this many sizes
// The stored package unpacks to about 230 KB; anything claiming more than this is refused
// before any memory is taken for it.
inline constexpr std::int64_t kMaxUnpackedSkinSize = 16 * 1024 * 1024;

// Where the name list starts for a package version; nothing for versions we do not read.
std::optional<std::size_t> SkinNameListOffset(std::int32_t version);

class TSkinReader {
public:
    struct Member {
        std::string name; // lower-cased
        std::span<const std::uint8_t> data;
    };

    // packed: 32-bit unpacked size, then the LZHUF stream. False for an unknown version (after
    // telling the sink) and for any malformed package (see Error()).
    bool Open(std::span<const std::uint8_t> packed, MessageSink& sink);
    // The same for a package that is already unpacked.
    bool OpenUnpacked(std::vector<std::uint8_t> unpacked, MessageSink& sink);

    const std::string& Error() const { return error_; }
    std::int32_t Version() const { return version_; }
    std::size_t MemberCount() const { return names_.size(); }
    const std::vector<std::string>& Names() const { return names_; }
    // The names as the list holds them, before lower-casing.
    const std::vector<std::string>& StoredNames() const { return storedNames_; }
    Member MemberAt(std::size_t index) const;
    const std::vector<std::uint8_t>& Unpacked() const { return unpacked_; }
    // Hands the unpacked bytes over (the spans of members stay valid); the reader is then closed.
    std::vector<std::uint8_t> TakeUnpacked();

    // The first member whose lower-cased name equals the lower-cased request; empty if none.
    std::span<const std::uint8_t> MemberByName(std::string_view name) const;
    // The first member whose lower-cased name contains `fragment` (compared as given).
    std::optional<Member> MemberByFragment(std::string_view fragment) const;

private:
    bool Fail(std::string reason);
    bool Parse(MessageSink& sink);

    std::vector<std::uint8_t> unpacked_;
    std::vector<std::string> names_;
    std::vector<std::string> storedNames_;
    std::vector<std::size_t> offsets_; // into unpacked_, one more than names_
    // Lower-cased name to its first member: a skin with many caption buttons makes many lookups.
    std::unordered_map<std::string, std::size_t> byName_;
    std::int32_t version_ = 0;
    std::string error_;
};

// Splits a name list the way the container writes it: CR, LF or CR LF end a name; a final
// separator adds no empty name. Letter case is kept.
std::vector<std::string> SplitSkinNames(std::string_view list);

} // namespace veltrane
