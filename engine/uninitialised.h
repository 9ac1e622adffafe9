// A vector whose resize leaves new elements of a trivial type uninitialised, so that a
// large buffer costs no memory until its pages are first written: a frame buffer of
// which a pass touches a part (a band's rows, the pixels an edge crosses) stays small.
#pragma once

#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace lmx::engine {

template <class T>
struct DefaultInitAllocator : std::allocator<T> {
  static_assert(std::is_trivially_default_constructible_v<T>);
  template <class U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <class U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}

  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;  // default-initialised: left as it is
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

template <class T>
using UninitialisedVector = std::vector<T, DefaultInitAllocator<T>>;

}  // namespace lmx::engine
