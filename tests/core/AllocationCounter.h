// Counting what a piece of code allocates, through the sanitizer allocator's
// hook. Builds without AddressSanitizer cannot count: their tests skip.
//
//   if (!AllocationCounter::available()) GTEST_SKIP() << AllocationCounter::kWhyNot;
//   long n = AllocationCounter::count([&] { drawEverything(); });
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                         void (*free_hook)(const volatile void*));
#endif

class AllocationCounter {
 public:
  static constexpr const char* kWhyNot = "allocations are counted through the sanitizer allocator";

  // True when the hook is in place (and a probe allocation was seen through it).
  static bool available() {
#if defined(__SANITIZE_ADDRESS__)
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0 && probe();
    return installed;
#else
    return false;
#endif
  }

  // The allocations made while `work` runs.
  template <class Work>
  static long count(Work&& work) {
    allocations() = 0;
    counting() = true;
    work();
    counting() = false;
    return allocations();
  }

 private:
  static bool& counting() {
    static bool on = false;
    return on;
  }
  static long& allocations() {
    static long n = 0;
    return n;
  }
  static void onMalloc(const volatile void*, size_t) {
    if (counting()) ++allocations();
  }
  static void onFree(const volatile void*) {}
  // The hook does see allocations.
  static bool probe() {
    return count([] { delete[] new char[1000]; }) > 0;
  }
};
