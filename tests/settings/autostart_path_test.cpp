// The path that switching autostart on stores, for a program kept where the path has a
// blank (a copy of the probe program is run from there), and however long the path is.
#include "settings/program_path.h"
#include "settings/whole_text.h"
#include "tests/settings/registry_fixture.h"
#include "tests/support/wine_test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace settingstest;

namespace {

constexpr char kProbe[] = "settings_autostart_probe.exe";

// A copy of the probe in a directory of its own below the test executable's, removed
// with the directory when the test ends.
class ProbeCopy {
public:
    explicit ProbeCopy(const std::string& directory)
        : directory_(testsupport::ExecutableDirectory() + directory),
          path_(directory_ + "\\" + kProbe) {
        CreateDirectoryA(directory_.c_str(), nullptr);
        const std::string source = testsupport::ExecutableDirectory() + kProbe;
        copied_ = CopyFileA(source.c_str(), path_.c_str(), FALSE) != 0;
    }
    ~ProbeCopy() {
        DeleteFileA(path_.c_str());
        RemoveDirectoryA(directory_.c_str());
    }
    ProbeCopy(const ProbeCopy&) = delete;
    ProbeCopy& operator=(const ProbeCopy&) = delete;

    [[nodiscard]] bool copied() const { return copied_; }
    [[nodiscard]] const std::string& path() const { return path_; }

    // Runs the copy with the argument; its exit code.
    [[nodiscard]] std::optional<DWORD> Run(const std::string& argument) const {
        return testsupport::RunProgram("\"" + path_ + "\" " + argument);
    }

private:
    std::string directory_, path_;
    bool copied_ = false;
};

class AutostartPath : public RegistryTest {};

std::optional<StoredValue> Registered() {
    return GetValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
}

std::size_t ModuleFileName(char* buffer, std::size_t capacity) {
    return GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(capacity));
}

}  // namespace

TEST_F(AutostartPath, PathWithABlankIsStoredInQuotes) {
    const ProbeCopy probe("autostart with blank");
    ASSERT_TRUE(probe.copied());
    EXPECT_EQ(probe.Run("on"), 1u);
    EXPECT_EQ(Registered(), TextValue("\"" + probe.path() + "\""));
    EXPECT_EQ(probe.Run("off"), 0u);
    EXPECT_FALSE(Registered());
}

// The Wine loader here starts no program from a path beyond 260 characters, so the
// growing fetch is shown on the real call with a buffer far shorter than the path.
TEST_F(AutostartPath, ProgramPathIsFetchedWholeWhenTheBufferIsTooShort) {
    const std::optional<std::string> path = settings::ProgramPath();
    ASSERT_TRUE(path);
    EXPECT_EQ(path->substr(path->size() - 4), ".exe");
    ASSERT_GT(path->size(), 16u);
    EXPECT_EQ(settings::FetchWholeText(ModuleFileName, 4, 1 << 17), path);
}
