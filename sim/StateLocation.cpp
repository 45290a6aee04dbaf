#include "sim/StateLocation.h"

namespace veltrane::sim {

StateLocation ChooseStateLocation(std::wstring_view variable, std::wstring_view installed,
                                  std::wstring_view libraryFolder) {
    if (!variable.empty())
        return {std::wstring(variable), StateOrigin::kVariable};
    if (!installed.empty())
        return {std::wstring(installed), StateOrigin::kInstalled};
    return {std::wstring(libraryFolder) + kBesideLibraryName, StateOrigin::kBesideLibrary};
}

} // namespace veltrane::sim
