// A private user data folder and working folder per test, so the services'
// files (hiscore.dat, hiscore.xml, hiscoreserver.txt) never touch the user's.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// A key of the program's form (56 Base64 characters, upper case and digits), for tests only.
inline constexpr const char kTestKey[] = "QUELLMOORTESTKEY0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";

class OnlineFolders : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string DataFile(const char* name) const;  // in the user data folder
    void WriteWorkingFile(const char* name, const std::string& text) const;
    static std::string ReadBytes(const std::string& path);
    static void WriteBytes(const std::string& path, const std::string& bytes);

    std::filesystem::path mRoot;
    std::filesystem::path mOldWorkingFolder;
};
