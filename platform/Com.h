#pragma once
// Owners for COM: the thread's apartment, interface references and BSTR strings.

#include <windows.h>
#include <ole2.h>

#include <string>
#include <utility>

#include "platform/ComRuntime.h"

namespace veltrane {

// A single-threaded apartment for the calling thread while the object lives: calls from other
// processes then arrive through the thread's message loop, one at a time. Joined on construction,
// or later with Join() by an owner that only needs COM once someone asks for it.
class ComApartment {
public:
    enum class When { Now, OnDemand };
    explicit ComApartment(When when = When::Now) {
        if (when == When::Now)
            Join();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (joined_)
            ComUninitialize();
    }

    void Join() {
        if (!tried_)
            joined_ = SUCCEEDED(ComInitialize(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
        tried_ = true;
    }

private:
    bool tried_ = false;
    bool joined_ = false;
};

// One reference to a COM interface, released when the owner goes.
template <typename T> class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* adopted) : pointer_(adopted) {} // takes over a reference already counted
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.pointer_, nullptr));
        return *this;
    }
    ~ComRef() { Reset(); }

    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    void Reset(T* adopted = nullptr) {
        if (T* old = std::exchange(pointer_, adopted))
            old->Release();
    }
    // For a call that hands out a new reference through its last argument.
    T** Put() {
        Reset();
        return &pointer_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

private:
    T* pointer_ = nullptr;
};

// A BSTR owned by the caller, freed when the owner goes.
class UniqueBstr {
public:
    UniqueBstr() = default;
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    ~UniqueBstr() { ::SysFreeString(text_); }

    BSTR* Put() {
        ::SysFreeString(std::exchange(text_, nullptr));
        return &text_;
    }
    bool Empty() const { return ::SysStringLen(text_) == 0; }
    std::wstring Text() const { return text_ ? std::wstring(text_, ::SysStringLen(text_)) : std::wstring(); }

private:
    BSTR text_ = nullptr;
};

} // namespace veltrane
