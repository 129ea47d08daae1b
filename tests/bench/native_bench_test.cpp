#include <gtest/gtest.h>

#include <sys/utsname.h>

#include <string>

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

// The native tree is built for the machine it runs on: a pointer as wide as the running
// kernel's word (a 32-bit build on a 64-bit kernel would pass its tests on a different ABI).
TEST(NativeBench, RunsOnTheHostArchitecture) {
    utsname host{};
    ASSERT_EQ(uname(&host), 0);
    const std::string machine = host.machine;
    const bool wideHost = machine == "x86_64" || machine == "aarch64";
    EXPECT_EQ(sizeof(void*), wideHost ? 8u : 4u) << "host " << machine;
}
