#include "online_fixture.h"

#include "online/simplehttp.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

void OnlineFolders::SetUp()
{
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    mRoot = fs::path(testing::TempDir()) /
            ("qm-online-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
    fs::remove_all(mRoot);
    fs::create_directories(mRoot / "xdg");
    fs::create_directories(mRoot / "work");
    ::setenv("XDG_DATA_HOME", (mRoot / "xdg").c_str(), 1);
    mOldWorkingFolder = fs::current_path();
    fs::current_path(mRoot / "work");
    TSimpleHttp::SetTimeouts(1000, 2000);
}

void OnlineFolders::TearDown()
{
    TSimpleHttp::SetCertificateAuthorityFile(nullptr);
    fs::current_path(mOldWorkingFolder);
    fs::remove_all(mRoot);
}

std::string OnlineFolders::DataFile(const char* name) const
{
    return (mRoot / "xdg" / "corvellatrip" / name).string();
}

void OnlineFolders::WriteWorkingFile(const char* name, const std::string& text) const
{
    std::ofstream(mRoot / "work" / name, std::ios::binary) << text;
}

std::string OnlineFolders::ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void OnlineFolders::WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}
