// The global allocation functions replaced, for a test program that watches
// its allocations: the largest block asked for is noted, and one chosen array
// allocation without exceptions can be made to fail. Included by exactly one
// source file of the program (the replacements are its one definition).
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

namespace tabrix_test {

// The largest block asked for since it was last set to 0.
inline std::size_t g_nLargestBlock = 0;

// Array allocations without exceptions (the store's blocks) left before one
// fails; negative: none fails.
inline int g_nArraysBeforeFailure = -1;

inline void* AllocateBlock(std::size_t size) {
  if (size > g_nLargestBlock) g_nLargestBlock = size;
  return std::malloc(size != 0 ? size : 1);
}

}  // namespace tabrix_test

void* operator new(std::size_t size) {
  void* p = tabrix_test::AllocateBlock(size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return tabrix_test::AllocateBlock(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  int& nLeft = tabrix_test::g_nArraysBeforeFailure;
  if (nLeft == 0) {
    nLeft = -1;  // one failure only
    return nullptr;
  }
  if (nLeft > 0) --nLeft;
  return tabrix_test::AllocateBlock(size);
}
// The replaced operator new takes its blocks from malloc too: GCC, seeing a
// new-expression's block reach free() once both are inlined, warns of a
// mismatch that these replacements make right.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
