#include "toolkit/skin/SkinReader.h"

#include <gtest/gtest.h>

#include "tests/unit/toolkit/SkinTestSupport.h"

namespace veltrane {
namespace {

using namespace testing_support;

const std::vector<std::pair<std::string, Bytes>> kMembers = {
    {"F-Top.bmp", FromText("top bytes")},
    {"harbor.INI", FromText("[Fonts]\r\nFontHeight=12\r\n")},
    {"Empty.bmp", {}},
    {"Window CloseButton1.bmp", FromText("close")},
};

std::string Text(std::span<const std::uint8_t> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(SkinReader, OpensEveryKnownVersionAtItsListOffset) {
    for (const std::int32_t version : {kSkinVersion2, kSkinVersion3, kSkinVersion4}) {
        RecordingSink sink;
        TSkinReader reader;
        ASSERT_TRUE(reader.Open(Packed(MakePackage(version, kMembers)), sink)) << version << reader.Error();
        EXPECT_TRUE(sink.messages.empty());
        EXPECT_EQ(reader.Version(), version);
        EXPECT_EQ(reader.Names(), (std::vector<std::string>{"f-top.bmp", "harbor.ini", "empty.bmp",
                                                            "window closebutton1.bmp"}));
        EXPECT_EQ(reader.StoredNames()[0], "F-Top.bmp");
        EXPECT_EQ(Text(reader.MemberByName("f-top.bmp")), "top bytes");
        EXPECT_EQ(Text(reader.MemberByName("WINDOW CloseButton1.BMP")), "close");
    }
    EXPECT_EQ(SkinNameListOffset(kSkinVersion2), 16u);
    EXPECT_EQ(SkinNameListOffset(kSkinVersion3), 272u);
    EXPECT_EQ(SkinNameListOffset(kSkinVersion4), 96u);
}

TEST(SkinReader, RefusesOtherVersionsWithTheMessage) {
    for (const std::int32_t version : {30001, 0, -1, 40001, 19999}) {
        RecordingSink sink;
        TSkinReader reader;
        EXPECT_FALSE(reader.Open(Packed(MakePackage(version, kMembers, 96)), sink)) << version;
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0], L"此文件版本不同\r请升级新版本 !");
        EXPECT_EQ(reader.MemberCount(), 0u);
    }
}

TEST(SkinReader, FindsMembersByNameAndFragment) {
    RecordingSink sink;
    TSkinReader reader;
    ASSERT_TRUE(reader.Open(Packed(MakePackage(kSkinVersion4, kMembers)), sink));
    EXPECT_TRUE(reader.MemberByName("missing.bmp").empty());
    EXPECT_TRUE(reader.MemberByName("empty.bmp").empty());
    const auto ini = reader.MemberByFragment(".ini");
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->name, "harbor.ini");
    EXPECT_EQ(Text(ini->data), "[Fonts]\r\nFontHeight=12\r\n");
    EXPECT_FALSE(reader.MemberByFragment(".INI")); // containment is tested on lower-cased names as given
    EXPECT_EQ(reader.MemberByFragment("bmp")->name, "f-top.bmp"); // the first one wins
}

TEST(SkinReader, SplitsNameListsLikeTheContainerWritesThem) {
    struct Case {
        std::string list;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"\r\n", {""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitSkinNames(c.list), c.names) << c.list;
}

Bytes WithI32(Bytes package, std::size_t at, std::uint32_t value) {
    StoreLe32(package, at, value);
    return package;
}

TEST(SkinReader, RejectsMalformedPackagesAsFailedOpens) {
    const Bytes good = MakePackage(kSkinVersion4, kMembers);
    const std::size_t tableAt = 96 + 4 * 2 + 9 + 10 + 9 + 23; // names plus CR LF each
    std::vector<std::string> manyNames(kMaxSkinMembers + 1, "x");
    std::string manyList;
    for (const auto& n : manyNames)
        manyList += n + "\n";
    Bytes tooMany = MakePackage(kSkinVersion2, {});
    tooMany = WithI32(tooMany, 4, std::uint32_t(manyList.size()));
    tooMany.insert(tooMany.end(), manyList.begin(), manyList.end());
    tooMany.resize(tooMany.size() + 4 * manyNames.size(), 0);

    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"shorter than the header", Bytes(15, 0)},
        {"list past the end", WithI32(good, 4, std::uint32_t(good.size()))},
        {"negative list length", WithI32(good, 4, 0xFFFFFFF0u)},
        {"size table past the end", Bytes(good.begin(), good.begin() + std::ptrdiff_t(tableAt + 8))},
        {"member past the data", WithI32(good, tableAt, 1000)},
        {"negative member size", WithI32(good, tableAt + 4, 0x80000000u)},
        {"sizes add past the data", WithI32(WithI32(good, tableAt, 30), tableAt + 12, 30)},
        {"more than 1001 members", tooMany},
    };
    for (const auto& [name, unpacked] : cases) {
        RecordingSink sink;
        TSkinReader reader;
        EXPECT_FALSE(reader.Open(Packed(unpacked), sink)) << name;
        EXPECT_FALSE(reader.Error().empty()) << name;
        EXPECT_TRUE(sink.messages.empty()) << name;
        EXPECT_EQ(reader.MemberCount(), 0u) << name;
    }
}

TEST(SkinReader, RejectsBadUnpackedSizes) {
    const Bytes stream = Packed(MakePackage(kSkinVersion4, kMembers));
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"empty", {}},
        {"three bytes", {1, 2, 3}},
        {"negative size", WithI32(stream, 0, 0xFFFFFFFFu)},
        {"absurd size", WithI32(stream, 0, std::uint32_t(kMaxUnpackedSkinSize + 1))},
        {"zero size", WithI32(stream, 0, 0)},
    };
    for (const auto& [name, packed] : cases) {
        RecordingSink sink;
        TSkinReader reader;
        EXPECT_FALSE(reader.Open(packed, sink)) << name;
        EXPECT_FALSE(reader.Error().empty()) << name;
    }
}

TEST(SkinReader, AcceptsBytesAfterTheLastMember) {
    // A last match may run past the declared size; the extra bytes are not a member.
    Bytes package = MakePackage(kSkinVersion4, kMembers);
    package.insert(package.end(), 20, 0x20);
    RecordingSink sink;
    TSkinReader reader;
    ASSERT_TRUE(reader.OpenUnpacked(package, sink));
    EXPECT_EQ(Text(reader.MemberAt(3).data), "close");
}

} // namespace
} // namespace veltrane
