// What the start-up tells before it touches anything: why the game's own
// files cannot be read, and the cause told when no lock on the saves could
// be taken.
#include "game/app/startupchecks.h"

#include "otheruser.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kStart = "scripts/mainloop.lua";

class StartupChecks : public testing::Test {
protected:
    void SetUp() override
    {
        mRoot = fs::temp_directory_path() / ("qm_startupchecks_" + std::to_string(::getpid()));
        fs::remove_all(mRoot);
        fs::create_directories(mRoot);
    }
    void TearDown() override { fs::remove_all(mRoot); }

    void Write(const fs::path& below) const
    {
        fs::create_directories((mRoot / below).parent_path());
        std::ofstream(mRoot / below) << "-- a file\n";
    }
    std::string Why(int enterError = 0) const
    {
        return game::UnreadableGameFiles(str(mRoot.c_str()), enterError, kStart).c_str();
    }

    fs::path mRoot;
};

}  // namespace

TEST_F(StartupChecks, AFolderThatCannotBeEnteredIsToldWithoutLookingIn)
{
    Write("assets/scripts/mainloop.lua");
    EXPECT_EQ(Why(EACCES), "this user may not read that folder");
    EXPECT_EQ(Why(ENOENT), "that folder is missing");
    EXPECT_EQ(Why(ENOTDIR), "Not a directory");
}

TEST_F(StartupChecks, TheScriptTheGameStartsWithIsAllItNeeds)
{
    EXPECT_EQ(Why(), "that folder holds none of the game's files") << "empty";
    fs::create_directories(mRoot / "assets" / "scripts" / "mainloop.lua");
    EXPECT_EQ(Why(), "that folder holds none of the game's files") << "a folder by the script's name";
    Write("assets/strings.xml");
    EXPECT_EQ(Why(), "assets/scripts/mainloop.lua, the script the game starts with, is missing");
    fs::remove_all(mRoot / "assets");
    Write("assets/scripts/mainloop.lua");
    EXPECT_EQ(Why(), "") << "without the string table the game still runs, showing labels";
    fs::remove_all(mRoot / "assets");
    Write("scripts/mainloop.lua");
    EXPECT_EQ(Why(), "") << "found where the engine looks first";
}

TEST_F(StartupChecks, AScriptThisUserMayNotReadIsToldAsSuch)
{
    Write("assets/strings.xml");
    Write("assets/scripts/mainloop.lua");
    fs::permissions(mRoot / "assets" / "scripts" / "mainloop.lua", fs::perms::none);
    const std::string expected = "this user may not read assets/scripts/mainloop.lua";
    if (::geteuid() != 0)
        EXPECT_EQ(Why(), expected);
    else  // (as another user: root reads every file)
        EXPECT_EQ(qmtest::RunAsOtherUser([&] { return Why() == expected ? 0 : 1; }), 0);
}

TEST_F(StartupChecks, WhatStandsAtALockNameIsTheStepThatFailed)
{
    const auto step = [this](const char* name) { return game::LockNameStep(str((mRoot / name).c_str())); };
    EXPECT_EQ(step("running.lock"), game::ELockStep::kMakeFile);
    Write("running.lock");
    EXPECT_EQ(step("running.lock"), game::ELockStep::kOpenFile);
    fs::create_directory(mRoot / "folder.lock");
    EXPECT_EQ(step("folder.lock"), game::ELockStep::kNoFile);
    fs::create_symlink(mRoot / "running.lock", mRoot / "link.lock");
    EXPECT_EQ(step("link.lock"), game::ELockStep::kNoFile) << "a link is never followed to a lock";
}

TEST_F(StartupChecks, TheCauseToldFollowsTheStepAndTheFirstError)
{
    using game::ELockStep;
    const struct {
        ELockStep step;
        int error;
        const char* label;
    } cases[] = {
        {ELockStep::kMakeFolder, EACCES, "savesunlocked_nocreate"},
        {ELockStep::kMakeFolder, ENOENT, "savesunlocked_nomake"},
        {ELockStep::kMakeFolder, ENAMETOOLONG, "savefailed_toolong"},
        {ELockStep::kMakeFile, EACCES, "savesunlocked_nowrite"},
        {ELockStep::kMakeFile, EPERM, "savesunlocked_nowrite"},
        {ELockStep::kMakeFile, EROFS, "savefailed_readonly"},
        {ELockStep::kMakeFile, ENOSPC, "savefailed_full"},
        {ELockStep::kMakeFile, EDQUOT, "savefailed_full"},
        {ELockStep::kMakeFile, EIO, "savefailed_other"},
        {ELockStep::kOpenFile, EACCES, "savesunlocked_otheruser"},
        {ELockStep::kOpenFile, ENOLCK, "savefailed_other"},
        {ELockStep::kNoFile, 0, "savesunlocked_notfile"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(game::LockFailureLabel(c.step, c.error), c.label)
            << static_cast<int>(c.step) << " " << std::strerror(c.error);
}
