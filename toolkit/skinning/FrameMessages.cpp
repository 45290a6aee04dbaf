#include "toolkit/skinning/FrameMessages.h"

namespace veltrane {

std::optional<NonClientRendering> FrameRenderingPolicy(FrameEvent event, bool tookOver) {
    switch (event) {
    case FrameEvent::TakeOver:
        return NonClientRendering::Disabled;
    case FrameEvent::CompositionChanged:
        // Composition switched back on must not bring the manager's own frame back.
        if (tookOver)
            return NonClientRendering::Disabled;
        break;
    case FrameEvent::Leave:
        if (tookOver)
            return NonClientRendering::UseWindowStyle;
        break;
    }
    return std::nullopt;
}

FramePassOn FramePassOnOf(unsigned message, bool onCaptionButton) {
    using namespace frame_message;
    switch (message) {
    case kUahDrawCaption:
    case kUahDrawFrame:
        return FramePassOn::Swallow;
    case kSetText:
    case kSetIcon:
    case kNcActivate:
    case kNcLButtonDown:
    case kNcLButtonDblClk:
    case kNcRButtonUp:
    case kSysCommand:
    case kDwmCompositionChanged:
        return FramePassOn::DefaultThenRepaint;
    case kNcMouseMove:
    case kNcMouseLeave:
        return onCaptionButton ? FramePassOn::DefaultThenRepaint : FramePassOn::Default;
    default:
        break;
    }
    return FramePassOn::Default;
}

} // namespace veltrane
