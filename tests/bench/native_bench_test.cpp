#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVALEN_HAS_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KORVALEN_HAS_ASAN 1
#endif

TEST(NativeBench, SanitizersAreOnWhenAsked) {
#if defined(KORVALEN_EXPECT_SANITIZERS)
#if defined(KORVALEN_HAS_ASAN)
    SUCCEED();
#else
    FAIL() << "the sanitized build was compiled without AddressSanitizer";
#endif
#else
    GTEST_SKIP() << "not a sanitized build";
#endif
}

TEST(NativeBench, RunsOnTheHostArchitecture) {
    std::vector<std::uint8_t> bytes(16, 0xAB);
    EXPECT_EQ(bytes.size(), 16u);
    EXPECT_EQ(sizeof(void*), 8u) << "the native build targets 64-bit Linux";
}
