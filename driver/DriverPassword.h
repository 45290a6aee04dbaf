#pragma once
// What the library may be handed as a password. Its buffers are the vendor's and unknown: nothing
// longer or stranger than the dialogs' password field produces ever reaches it.

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrane {

// Bytes in the library's 8-bit code page (936), not counting the terminating zero.
inline constexpr std::size_t kPasswordMaxBytes = 8;

// True for at most kPasswordMaxBytes of well-formed code page 936 text without control characters.
bool DriverPasswordFits(std::string_view bytes);

// Overwrites every byte the string holds, its spare capacity too, and empties it.
void StringWipe(std::string& text);

// A string that is wiped from memory when it goes away: typed passwords do not linger.
class SecretString {
public:
    SecretString() = default;
    // Takes the bytes over and wipes the source: a short string's move copies them and leaves them behind.
    explicit SecretString(std::string&& text) : text_(std::move(text)) { StringWipe(text); }
    SecretString(const SecretString&) = delete;
    SecretString& operator=(const SecretString&) = delete;
    SecretString(SecretString&& other) noexcept : text_(std::move(other.text_)) { other.Wipe(); }
    SecretString& operator=(SecretString&& other) noexcept;
    ~SecretString() { Wipe(); }

    const char* c_str() const { return text_.c_str(); }
    const std::string& str() const { return text_; }
    void Wipe();

private:
    std::string text_;
};

} // namespace veltrane
