#include <gtest/gtest.h>

#include "dialogs/OpenLinkRules.h"

namespace veltrane {
namespace {

TEST(OpenLinkRules, BlankTargets) {
    const struct {
        const wchar_t* target;
        bool blank;
    } cases[] = {
        {L"", true},     {L"   ", true},         {L"\t\r\n", true}, {L" \x01\x1f ", true},
        {L" a ", false}, {L"mailto:x@y", false}, {L"\x7f", false},  {L"\x3000", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LinkTargetIsBlank(c.target), c.blank) << testing::PrintToString(std::wstring(c.target));
}

TEST(OpenLinkRules, ExtensionFromTheLastDotAfterTheLastSeparator) {
    const struct {
        const wchar_t* target;
        const wchar_t* extension;
        bool offersHtmChoice;
    } cases[] = {
        {L"http://www.example.cn/index_files/dorezodoroz.htm", L".HTM", true},
        {L"C:\\pages\\Page.Htm", L".HTM", true},
        {L"page.html", L".HTML", false},
        {L"page.htm ", L".HTM ", false}, // untrimmed, as the shell got it
        {L"C:\\dir.htm\\file", L"", false},
        {L"host.htm:8080", L"", false},
        {L"no extension", L"", false},
        {L"archive.tar.HTM", L".HTM", true},
        {L"mailto:support@example.cn", L".CN", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LinkTargetExtension(c.target), c.extension)
            << testing::PrintToString(std::wstring(c.target));
        EXPECT_EQ(LinkTargetOffersHtmChoice(c.target), c.offersHtmChoice);
    }
}

} // namespace
} // namespace veltrane
