#pragma once
// A counted reference to an interface of the other side: AddRef on taking, Release on dropping.

#include <utility>

template <class T>
class InterfaceRef {
public:
    InterfaceRef() = default;
    explicit InterfaceRef(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ~InterfaceRef() { reset(); }
    InterfaceRef(const InterfaceRef& other) : InterfaceRef(other.p_) {}
    InterfaceRef& operator=(const InterfaceRef& other) {
        InterfaceRef(other).swap(*this);
        return *this;
    }
    InterfaceRef(InterfaceRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    InterfaceRef& operator=(InterfaceRef&& other) noexcept {
        InterfaceRef(std::move(other)).swap(*this);
        return *this;
    }

    void reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    void swap(InterfaceRef& other) noexcept { std::swap(p_, other.p_); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};
