// A COM interface pointer that releases what it holds: one owner per reference, moved,
// never copied.
#pragma once

#include <utility>

namespace win32 {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) noexcept : p_(p) {}
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    [[nodiscard]] T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    [[nodiscard]] explicit operator bool() const noexcept { return p_ != nullptr; }
    // For a call that hands back a new reference: what was held is released first.
    [[nodiscard]] T** put() noexcept {
        reset();
        return &p_;
    }
    void reset() noexcept {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    T* p_ = nullptr;
};

}  // namespace win32
