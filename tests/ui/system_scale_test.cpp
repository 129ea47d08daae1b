// The program's windows made at the system's scale, as Wine gives it to a program that
// starts with HKCU\Control Panel\Desktop LogPixels set: the probe makes both windows in
// a process of its own and checks their layout, texts and pictures at that scale.
#include "tests/support/wine_test_support.h"
#include "win32/unique_win.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char kDesktopKey[] = "Control Panel\\Desktop";

// LogPixels set for the programs started while it lives; removed again afterwards (the
// test prefix has no such value: 96 DPI).
class SystemScale {
public:
    explicit SystemScale(DWORD dpi) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            return;
        key_.reset(key);
        set_ = RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                              sizeof dpi) == ERROR_SUCCESS;
    }
    SystemScale(const SystemScale&) = delete;
    SystemScale& operator=(const SystemScale&) = delete;
    ~SystemScale() {
        if (key_) RegDeleteValueA(key_.get(), "LogPixels");
    }
    [[nodiscard]] bool Set() const noexcept { return set_; }

private:
    win32::UniqueKey key_;
    bool set_ = false;
};

}  // namespace

TEST(SystemScale, BothWindowsAreLaidOutAtTheScaleTheProgramStartsAt) {
    const std::string probe = testsupport::ExecutableDirectory() + "ui_scale_probe.exe";
    for (const DWORD dpi : {96u, 120u, 144u, 192u}) {
        std::optional<DWORD> problems;
        {
            SystemScale scale(dpi);
            ASSERT_TRUE(scale.Set());
            problems = testsupport::RunProgram("\"" + probe + "\" " + std::to_string(dpi),
                                               testsupport::Scaled(std::chrono::seconds(60)));
        }
        ASSERT_TRUE(problems.has_value()) << "the probe ran at " << dpi;
        EXPECT_EQ(*problems, 0u) << "problems at " << dpi << " DPI (the probe printed them)";
    }
}
