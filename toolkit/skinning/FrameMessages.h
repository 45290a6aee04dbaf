#pragma once
// What a skinned frame lets the system do to its window beside the skin's own painting: which
// non-client rendering policy it asks of the desktop window manager, and which messages it passes on
// to the system's handling, swallows, or paints over once the system's handling is done.

#include <cstdint>
#include <optional>

namespace veltrane {

// The desktop window manager's values (DWMNCRENDERINGPOLICY).
enum class NonClientRendering : std::uint8_t { UseWindowStyle = 0, Disabled = 1 };

enum class FrameEvent : std::uint8_t { TakeOver, CompositionChanged, Leave };

// The policy to ask for at `event`, or none; `tookOver` says whether the frame holds the window.
std::optional<NonClientRendering> FrameRenderingPolicy(FrameEvent event, bool tookOver);

// Window message numbers, as the system defines them, of the messages the frame decides about.
namespace frame_message {
inline constexpr unsigned kSetText = 0x000C;
inline constexpr unsigned kSetIcon = 0x0080;
inline constexpr unsigned kNcActivate = 0x0086;
inline constexpr unsigned kNcMouseMove = 0x00A0;
inline constexpr unsigned kNcLButtonDown = 0x00A1;
inline constexpr unsigned kNcLButtonDblClk = 0x00A3;
inline constexpr unsigned kNcRButtonUp = 0x00A5;
inline constexpr unsigned kUahDrawCaption = 0x00AE; // undocumented: themed caption drawn outside WM_NCPAINT
inline constexpr unsigned kUahDrawFrame = 0x00AF;   // undocumented: themed frame drawn outside WM_NCPAINT
inline constexpr unsigned kSysCommand = 0x0112;
inline constexpr unsigned kNcMouseLeave = 0x02A2;
inline constexpr unsigned kDwmCompositionChanged = 0x031E;
} // namespace frame_message

enum class FramePassOn : std::uint8_t {
    Default,            // the system's handling alone
    DefaultThenRepaint, // the system's handling may paint caption or frame parts: the skin paints last
    Swallow,            // not passed on at all
};

// For a message the frame has not consumed itself. `onCaptionButton`: the pointer is on a caption
// button, or leaves one (the system's hover look of the buttons follows only those moves).
FramePassOn FramePassOnOf(unsigned message, bool onCaptionButton);

} // namespace veltrane
