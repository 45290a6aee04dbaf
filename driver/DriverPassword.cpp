#include "driver/DriverPassword.h"

namespace veltrane {

namespace {

// Code page 936: printable ASCII and the euro sign (0x80) take one byte; a lead byte 0x81-0xFE takes
// a trail byte 0x40-0xFE other than 0x7F.
bool IsLeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}
bool IsTrailByte(unsigned char b) {
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}
bool IsSingleByteCharacter(unsigned char b) {
    return (b >= 0x20 && b <= 0x7E) || b == 0x80;
}

} // namespace

bool DriverPasswordFits(std::string_view bytes) {
    if (bytes.size() > kPasswordMaxBytes)
        return false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (IsSingleByteCharacter(b))
            continue;
        if (!IsLeadByte(b) || i + 1 == bytes.size() || !IsTrailByte(static_cast<unsigned char>(bytes[i + 1])))
            return false;
        ++i;
    }
    return true;
}

SecretString& SecretString::operator=(SecretString&& other) noexcept {
    if (this != &other) {
        Wipe();
        text_ = std::move(other.text_);
        other.Wipe();
    }
    return *this;
}

void StringWipe(std::string& text) {
    // Volatile writes so the compiler cannot drop them as dead stores.
    volatile char* p = text.data();
    for (std::size_t i = 0; i < text.capacity(); ++i)
        p[i] = 0;
    text.clear();
}

void SecretString::Wipe() {
    StringWipe(text_);
}

} // namespace veltrane
