// The single-instance lock: one owner per user and display, nothing stale after the owner
// ends, no link ever followed, and a place found when the runtime directory is missing.
#include "app/singleinstance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using vantrel::InstanceLock;

namespace {

// Points XDG_RUNTIME_DIR and DISPLAY somewhere private for one test and puts them back after.
class LockEnvironment : public ::testing::Test {
  protected:
    void SetUp() override {
        saveVar("XDG_RUNTIME_DIR", savedRuntime_);
        saveVar("DISPLAY", savedDisplay_);
        saveVar("WAYLAND_DISPLAY", savedWayland_);
        char pattern[] = "/tmp/vantrel-lock-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
        // A display name of its own, so the fallback lock never meets a running program's.
        display_ = ":test" + std::to_string(getpid());
        setenv("DISPLAY", display_.c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
    }
    void TearDown() override {
        // Still under the test's display name, so this finds the test's own fallback file.
        std::error_code ignored;
        for (const std::string& p : InstanceLock::lockPaths(name_))
            fs::remove(p, ignored);
        restoreVar("XDG_RUNTIME_DIR", savedRuntime_);
        restoreVar("DISPLAY", savedDisplay_);
        restoreVar("WAYLAND_DISPLAY", savedWayland_);
        fs::remove_all(dir_, ignored);
    }

    static void saveVar(const char* var, std::optional<std::string>& into) {
        const char* v = std::getenv(var);
        into = v ? std::optional<std::string>(v) : std::nullopt;
    }
    static void restoreVar(const char* var, const std::optional<std::string>& from) {
        if (from)
            setenv(var, from->c_str(), 1);
        else
            unsetenv(var);
    }

    std::string lockInRuntimeDir() const {
        return dir_ + "/" + name_ + "._test" + std::to_string(getpid()) + ".lock";
    }

    const std::string name_ = "VantrelTest";
    std::string dir_;
    std::string display_;
    std::optional<std::string> savedRuntime_;
    std::optional<std::string> savedDisplay_;
    std::optional<std::string> savedWayland_;
};

TEST_F(LockEnvironment, SecondOwnerIsRefusedUntilTheFirstLetsGo) {
    InstanceLock first;
    ASSERT_EQ(first.acquire(name_), InstanceLock::Result::Acquired);
    EXPECT_TRUE(fs::exists(lockInRuntimeDir()));
    {
        InstanceLock second;
        EXPECT_EQ(second.acquire(name_), InstanceLock::Result::AlreadyRunning);
        EXPECT_FALSE(second.held());
    }
    first.close();
    InstanceLock third;
    EXPECT_EQ(third.acquire(name_), InstanceLock::Result::Acquired);
}

TEST_F(LockEnvironment, ALeftOverLockFileDoesNotBlock) {
    // What a killed owner leaves behind: the file without the lock.
    std::ofstream(lockInRuntimeDir()) << "stale";
    InstanceLock lock;
    EXPECT_EQ(lock.acquire(name_), InstanceLock::Result::Acquired);
}

TEST_F(LockEnvironment, PlantedLinkIsNotFollowedAndTheLockMovesToTheFallback) {
    const std::string target = dir_ + "/precious";
    std::ofstream(target) << "keep me";
    const auto before = fs::last_write_time(target);
    fs::create_symlink(target, lockInRuntimeDir());

    InstanceLock first;
    EXPECT_EQ(first.acquire(name_), InstanceLock::Result::Acquired);
    InstanceLock second;
    EXPECT_EQ(second.acquire(name_), InstanceLock::Result::AlreadyRunning);

    std::ifstream in(target);
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "keep me");
    EXPECT_EQ(fs::last_write_time(target), before);
    EXPECT_TRUE(fs::is_symlink(lockInRuntimeDir()));
}

struct RuntimeDirCase {
    const char* name;
    std::optional<std::string> (*value)(const std::string& tempDir);
};

class UnusableRuntimeDir : public LockEnvironment,
                           public ::testing::WithParamInterface<RuntimeDirCase> {};

TEST_P(UnusableRuntimeDir, FallsBackAndStillAllowsOnlyOneOwner) {
    const std::optional<std::string> value = GetParam().value(dir_);
    if (value)
        setenv("XDG_RUNTIME_DIR", value->c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
    InstanceLock first;
    EXPECT_EQ(first.acquire(name_), InstanceLock::Result::Acquired);
    InstanceLock second;
    EXPECT_EQ(second.acquire(name_), InstanceLock::Result::AlreadyRunning);
}

INSTANTIATE_TEST_SUITE_P(
    Lock, UnusableRuntimeDir,
    ::testing::Values(
        RuntimeDirCase{"unset", [](const std::string&) { return std::optional<std::string>(); }},
        RuntimeDirCase{"empty", [](const std::string&) { return std::optional<std::string>(""); }},
        RuntimeDirCase{"relative",
                       [](const std::string&) { return std::optional<std::string>("run"); }},
        RuntimeDirCase{
            "missing",
            [](const std::string& d) { return std::optional<std::string>(d + "/gone"); }},
        RuntimeDirCase{"a file",
                       [](const std::string& d) {
                           std::ofstream(d + "/file") << "x";
                           return std::optional<std::string>(d + "/file");
                       }},
        RuntimeDirCase{"not writable even for root",
                       [](const std::string&) { return std::optional<std::string>("/proc"); }}),
    [](const ::testing::TestParamInfo<RuntimeDirCase>& info) {
        std::string n = info.param.name;
        for (char& c : n)
            if (c == ' ')
                c = '_';
        return n;
    });

} // namespace
