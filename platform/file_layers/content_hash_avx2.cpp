// XXH3 compiled for processors with AVX2, which hash about three times as fast as with the SSE2
// that every x86-64 processor has. Built with -mavx2 where the compiler targets x86 outside
// Windows (CMakeLists.txt says why); elsewhere it holds nothing the processor could run, and says
// so. content_hash.cpp calls it only when the processor and the system support AVX2.
#include <cstddef>

#if defined(__AVX2__)
#define XXH_INLINE_ALL
#include <xxhash.h>
#endif

namespace platform::content_hash_avx2 {

bool Usable() {
#if defined(__AVX2__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

void Update(void* state, const void* data, size_t size) {
#if defined(__AVX2__)
  XXH3_128bits_update(static_cast<XXH3_state_t*>(state), data, size);
#else
  (void)state, (void)data, (void)size;
#endif
}

}  // namespace platform::content_hash_avx2
