#include "engine/base/encrypt.h"
#include "engine/base/encryptionkey.h"
#include "engine/base/prefs.h"
#include "online/hiscorefile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status;
    std::string out;
};

ToolRun run(const std::string& arguments)
{
    std::string command = std::string(QMCRYPT) + " " + arguments + " 2>/dev/null";
    ToolRun result{-1, ""};
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        result.out.append(chunk, got);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class Qmcrypt : public ::testing::Test {
protected:
    void SetUp() override
    {
        mDir = fs::temp_directory_path() / ("qm_qmcrypt_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(mDir);
    }
    void TearDown() override { fs::remove_all(mDir); }
    std::string at(const char* name) const { return (mDir / name).string(); }
    fs::path mDir;
};

const char* kConfig = "<?xml version=\"1.0\"?>\n<global>\n  <speed value=\"1.5\"/> caf\xC3\xA9\n</global>\n";

}  // namespace

TEST_F(Qmcrypt, EnciphersWhatTheGameDeciphers)
{
    std::ofstream(at("global.xml"), std::ios::binary) << kConfig;
    ASSERT_EQ(run("encipher " + at("global.xml") + " " + at("global.bin")).status, 0);
    std::string bin = readFile(at("global.bin"));
    EXPECT_EQ(bin.find('\n'), std::string::npos) << "no line break after the Base64 text";
    // The game's reading: the whole .bin content through DecryptStr under the program key.
    EXPECT_STREQ(TEncrypt(ENCRYPTION_KEY).DecryptStr(str(bin.c_str())).c_str(), kConfig);

    ASSERT_EQ(run("decipher " + at("global.bin") + " " + at("back.xml")).status, 0);
    EXPECT_EQ(readFile(at("back.xml")), kConfig);
    ToolRun toStdout = run("decipher " + at("global.bin") + " -");
    EXPECT_EQ(toStdout.status, 0);
    EXPECT_EQ(toStdout.out, kConfig);
}

TEST_F(Qmcrypt, RefusesWhatItCannotDo)
{
    std::ofstream(at("global.xml"), std::ios::binary) << kConfig;
    ASSERT_EQ(run("encipher " + at("global.xml") + " " + at("global.bin")).status, 0);
    EXPECT_EQ(run("--key AAAABBBBCCCCDDDDEEEEFFFFGGGGHHHHIIIIJJJJKKKKLLLLMMMMNNNN decipher " + at("global.bin") + " " +
                  at("x.xml")).status,
              1);
    EXPECT_FALSE(fs::exists(at("x.xml")));
    EXPECT_EQ(run("decipher " + at("missing.bin") + " " + at("x.xml")).status, 1);
    std::ofstream(at("nul.xml"), std::ios::binary) << std::string("a\0b", 3);
    EXPECT_EQ(run("encipher " + at("nul.xml") + " " + at("nul.bin")).status, 1);
    EXPECT_EQ(run("").status, 2);
    EXPECT_EQ(run("shred " + at("global.xml")).status, 2);
}

TEST_F(Qmcrypt, PrintsAPrefsFileAsPlainXml)
{
    TXmlNode document;
    TXmlNode* install = document.CreateChild("install");
    install->SetAttribute("qminstallkey", "/games/corvellatrip");
    install->CreateChild("user")->SetAttribute("name", "Ann");
    std::string bytes = TPrefs::WriteDocument(document, ENCRYPTION_KEY);
    std::ofstream(at("prefs.dat"), std::ios::binary) << bytes;

    ToolRun printed = run("prefs " + at("prefs.dat"));
    EXPECT_EQ(printed.status, 0);
    EXPECT_EQ(printed.out, document.AsString().c_str());
    EXPECT_NE(printed.out.find("name=\"Ann\""), std::string::npos);

    std::ofstream(at("plain.dat"), std::ios::binary) << TPrefs::WriteDocument(document, "");
    EXPECT_EQ(run("--plain prefs " + at("plain.dat")).out, printed.out);
    EXPECT_EQ(run("prefs " + at("plain.dat")).status, 1) << "a plain file is not one under the key";
}

// Read only: a damaged hiscore.dat is refused and left where it is.
TEST_F(Qmcrypt, PrintsAHiscoreFileAsItsTextAndNeverMovesIt)
{
    const str text("<score name=\"career\">\n    <row rank=\"1\" score=\"1230\">\n    </row>\n</score>\n");
    TEncrypt cipher(ENCRYPTION_KEY);
    ASSERT_TRUE(qm::WriteHiscoreFile(str(at("hiscore.dat").c_str()), text, cipher));
    ToolRun printed = run("scores " + at("hiscore.dat"));
    EXPECT_EQ(printed.status, 0);
    EXPECT_EQ(printed.out, text.c_str());

    std::string damaged = readFile(at("hiscore.dat"));
    damaged[0] = static_cast<char>(damaged[0] ^ 1);
    std::ofstream(at("hiscore.dat"), std::ios::binary | std::ios::trunc) << damaged;
    EXPECT_EQ(run("scores " + at("hiscore.dat")).status, 1);
    EXPECT_EQ(readFile(at("hiscore.dat")), damaged);
    EXPECT_FALSE(fs::exists(at("hiscore.dat.bad")));
}
