#pragma once
// Loading a skin: the whole sequence from the stored "SkinStream" value to the skin model.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "toolkit/skin/SkinIni.h"
#include "toolkit/skin/SkinModel.h"
#include "toolkit/skin/SkinReader.h"

namespace veltrane {

// The program's entry point. `skinStreamValue` is the layout's "SkinStream" value: a 32-bit
// little-endian count N, then N bytes of packed package. A count of zero or less loads nothing
// and shows nothing. An unknown package version shows the version message through `sink`.
// Nothing comes back when no skin was loaded; `error` (if given) then says why, empty for a
// count of zero or less.
std::optional<SkinModel> LoadSkinStream(std::span<const std::uint8_t> skinStreamValue, MessageSink& sink,
                                        const SystemColours& system = {}, std::string* error = nullptr);

// Builds the model from an opened package; takes over the reader's bytes. Nothing comes back when
// the description gives a value beyond the model's limits (kSkinMaxExtent and the others); `error`
// (if given) then names the section, key and value.
std::optional<SkinModel> LoadSkinModel(TSkinReader& reader, const SystemColours& system = {},
                                       std::string* error = nullptr);

// A key value naming a bitmap: folder part stripped, ".bmp" exactly, looked up case-blind.
// Empty when any step fails; a member that is not a readable bitmap adds a warning.
SkinBitmap ResolveSkinBitmap(const TSkinReader& reader, std::string_view reference,
                             std::vector<std::string>* warnings = nullptr);

} // namespace veltrane
