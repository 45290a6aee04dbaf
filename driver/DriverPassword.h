#pragma once
// The password as the library takes it, and every rule about it in one place. The library's buffers
// are the vendor's and unknown: nothing longer or stranger than the dialogs' password field produces
// ever reaches it.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace veltrane {

// Bytes in the library's 8-bit code page (936), not counting the terminating zero.
inline constexpr std::size_t kPasswordMaxBytes = 8;

// True for at most kPasswordMaxBytes of well-formed code page 936 text without control characters.
bool DriverPasswordFits(std::string_view bytes);

// Bytes a character takes in the library's code page; 0 when the code page cannot represent it.
using CodePageWidth = std::function<std::size_t(wchar_t)>;

// Whether a field holding `text`, with [selectionStart, selectionEnd) about to be replaced, takes
// `key`: control keys always; a character only when the code page represents it and the whole
// text then still fits in kPasswordMaxBytes.
bool PasswordKeyAccepted(std::wstring_view text, std::size_t selectionStart, std::size_t selectionEnd,
                         wchar_t key, const CodePageWidth& width);

// The two entries of a new password agree only when their 8-bit strings are the same, byte for byte.
inline bool NewPasswordConfirmed(std::string_view entry, std::string_view confirmation) {
    return entry == confirmation;
}

// Overwrites every character the string holds, its spare capacity too, and empties it.
template <typename Char> void StringWipe(std::basic_string<Char>& text) {
    // Volatile writes so the compiler cannot drop them as dead stores.
    volatile Char* p = text.data();
    for (std::size_t i = 0; i < text.capacity(); ++i)
        p[i] = 0;
    text.clear();
}

// Strict UTF-8 to UTF-16: nothing for an overlong form, a surrogate, a code point past U+10FFFF or a
// cut sequence. What was decoded before the fault is wiped: it may be most of a password.
std::optional<std::wstring> Utf8Decode(std::string_view bytes);
// The same, but each byte that does not fit shows as U+FFFD rather than as a wrong letter.
std::wstring Utf8DecodeLenient(std::string_view bytes);

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
    void Wipe() { StringWipe(text_); }

private:
    std::string text_;
};

} // namespace veltrane
