// RAII holder of one CF reference, for the C++ code of the platform and the host. cf::adopt
// takes over a reference the caller already owns (Create/Copy results); cf::retain adds one.
#pragma once

#include <CoreFoundation/CFBase.h>

#include <utility>

namespace cf {

template <typename T>
class Ref {
public:
    Ref() = default;
    Ref(const Ref &other) : ref_(other.ref_) { if (ref_) CFRetain(ref_); }
    Ref(Ref &&other) noexcept : ref_(std::exchange(other.ref_, nullptr)) {}
    Ref &operator=(Ref other) noexcept { std::swap(ref_, other.ref_); return *this; }
    ~Ref() { if (ref_) CFRelease(ref_); }

    static Ref adopt(T ref) { Ref holder; holder.ref_ = ref; return holder; }
    static Ref retain(T ref) { if (ref) CFRetain(ref); return adopt(ref); }

    T get() const { return ref_; }
    explicit operator bool() const { return ref_ != nullptr; }
    // Hands the reference to the caller (for Create/Copy results).
    T leak() { return std::exchange(ref_, nullptr); }
    void reset() { Ref().swap(*this); }
    void swap(Ref &other) noexcept { std::swap(ref_, other.ref_); }

private:
    T ref_ = nullptr;
};

template <typename T>
Ref<T> adopt(T ref) { return Ref<T>::adopt(ref); }

template <typename T>
Ref<T> retain(T ref) { return Ref<T>::retain(ref); }

}  // namespace cf
