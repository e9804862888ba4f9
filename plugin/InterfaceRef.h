#pragma once
// A counted reference to an interface of the other side: AddRef on taking, Release on dropping.

#include <utility>

template <class T>
class InterfaceRef {
public:
    InterfaceRef() = default;
    explicit InterfaceRef(T* p) : m_p(p) {
        if (m_p) m_p->AddRef();
    }
    ~InterfaceRef() { reset(); }
    InterfaceRef(const InterfaceRef& other) : InterfaceRef(other.m_p) {}
    InterfaceRef& operator=(const InterfaceRef& other) {
        InterfaceRef(other).swap(*this);
        return *this;
    }
    InterfaceRef(InterfaceRef&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    InterfaceRef& operator=(InterfaceRef&& other) noexcept {
        InterfaceRef(std::move(other)).swap(*this);
        return *this;
    }

    void reset() {
        if (T* p = std::exchange(m_p, nullptr)) p->Release();
    }
    void swap(InterfaceRef& other) noexcept { std::swap(m_p, other.m_p); }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};
