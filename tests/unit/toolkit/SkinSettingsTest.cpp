#include "toolkit/skinning/SkinComponentCore.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/unit/toolkit/SkinTestSupport.h"
#include "base/Bytes.h"
#include "toolkit/skinning/ForeignClasses.h"

namespace veltrane {
namespace {

using testing_support::Bytes;

TEST(SkinSettings, NewComponentAndStoredLayoutDifferOnlyInActiveAndControls) {
    const SkinSettings fresh;
    const SkinSettings stored = SkinSettingsStored();
    EXPECT_FALSE(fresh.active);
    EXPECT_TRUE(stored.active);
    EXPECT_EQ(fresh.skinControls.Bits(), 0x1FFFFBu); // members 0 to 20 but xcMenuItem
    EXPECT_EQ(stored.skinControls.Bits(), 0x1F473Bu);
    for (const SkinSettings* s : {&fresh, &stored}) {
        EXPECT_EQ(s->skinFormtype, sfMainform);
        EXPECT_EQ(s->options.Bits(), 0x48u); // xoPreview, xoToolbarBK
        EXPECT_EQ(s->disableTag, 99);
        EXPECT_TRUE(s->menuUpdate);
        EXPECT_FALSE(s->menuMerge);
        EXPECT_EQ(s->foreignClasses,
                  std::vector<std::string>(kDefaultForeignClasses.begin(), kDefaultForeignClasses.end()));
    }
    SkinSettings written = stored;
    written.SetSkinStore("(Good)");
    EXPECT_EQ(written.SkinStore(), "(none)");
}

TEST(ForeignClasses, DefaultListHoldsTheKindGroupsInOrderWithThreeRepeats) {
    std::vector<std::pair<std::string, int>> runs; // consecutive entries of one kind word
    std::map<std::string_view, int> seen;
    for (std::string_view entry : kDefaultForeignClasses) {
        ++seen[entry];
        const std::string kind = AsciiLowered(entry.substr(entry.find('=') + 1));
        if (runs.empty() || runs.back().first != kind)
            runs.push_back({kind, 0});
        ++runs.back().second;
    }
    const std::vector<std::pair<std::string, int>> expected = {
        {"scrollbar", 10}, {"pngbitbtn", 1},   {"panel", 22},   {"combobox", 39},  {"speedbutton", 3},
        {"button", 1},     {"bitbtn", 3},      {"menubtn", 1},  {"checkgroup", 3}, {"radiogroup", 7},
        {"edit", 26},      {"radiobutton", 2}, {"groupbox", 2}, {"checkbox", 4},
    };
    EXPECT_EQ(runs, expected);
    std::vector<std::string_view> repeated;
    for (const auto& [entry, count] : seen)
        if (count > 1)
            repeated.push_back(entry);
    EXPECT_EQ(repeated,
              (std::vector<std::string_view>{"TDBCheckboxEh=Checkbox", "TLMDFontSizeCombobox=combobox",
                                             "TWWDBCombobox=Combobox"}));
}

TEST(ForeignClasses, ClassNameAndEqualsSignMatchTheStartOfTheFirstEntry) {
    const std::string fifty(50, 'k');
    std::vector<std::string> list = SkinSettings::DefaultForeignClasses();
    list.insert(list.end(), {"TShort=Edit=x", "TLong=" + fifty + "TAIL"});
    struct Case {
        const char* className;
        std::optional<std::string> kind;
    };
    const Case cases[] = {
        {"tglyphbutton", "bitbtn"},
        {"TLMDGroupBox", "panel"}, // "TLMDGROUPBOX=Panel" comes before "TLMDGroupBox=Groupbox"
        {"TLMDEdit", "edit"},
        {"TLMDEditDB", std::nullopt}, // no "=" after it in "TLMDEDITDBLookup=Edit"
        {"TCombobox", std::nullopt},  // "TComboboxex" is another class
        {"TShort", "edit=x"},         // everything after the first "="
        {"TLong", fifty},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ForeignClassKind(list, c.className), c.kind) << c.className;
}

class CollectingSink : public MessageSink {
public:
    int shown = 0;
    void ShowMessage(std::wstring_view) override { ++shown; }
};

Bytes SkinStreamOf(std::int32_t version) {
    const Bytes package =
        testing_support::MakePackage(version, {{"skin.ini", testing_support::FromText("[X]")}});
    return testing_support::SkinStreamValue(testing_support::Packed(package));
}

TEST(SkinStream, ReadKeepsThePackageAndWriteGivesTheSameValueBack) {
    struct Case {
        Bytes value;
        bool designing;
        bool loaded;
        int messages;
        Bytes written;
    };
    const Bytes good = SkinStreamOf(kSkinVersion4), otherVersion = SkinStreamOf(30001), none = {0, 0, 0, 0};
    const Case cases[] = {
        {good, false, true, 0, good},
        {good, true, false, 0, good}, // a layout being designed is not loaded
        {otherVersion, false, false, 1, otherVersion},
        {none, false, false, 0, none},
        {{0xFF, 0xFF, 0xFF, 0xFF, 1, 2}, false, false, 0, none}, // a negative count keeps nothing
    };
    for (const Case& c : cases) {
        SkinComponentCore component;
        CollectingSink sink;
        component.SkinStreamRead(c.value, sink, {}, c.designing);
        EXPECT_EQ(component.SkinLoaded(), c.loaded);
        EXPECT_EQ(sink.shown, c.messages);
        EXPECT_EQ(component.SkinStreamWrite(), c.written);
    }
}

} // namespace
} // namespace veltrane
