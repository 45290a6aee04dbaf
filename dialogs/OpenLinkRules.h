#pragma once
// Window-free rules of opening web links.

#include <string>
#include <string_view>

namespace veltrane {

// True when nothing is left once blanks and control characters are cut from both ends.
bool LinkTargetIsBlank(std::wstring_view target);
// The extension from the last '.' after the last '\' or ':', upper-cased; empty when there is none.
std::wstring LinkTargetExtension(std::wstring_view target);
// Whether a failed open should offer the system's choice of program for web pages.
bool LinkTargetOffersHtmChoice(std::wstring_view target);

} // namespace veltrane
