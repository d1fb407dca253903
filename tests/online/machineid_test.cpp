#include "online/machineid.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A fake sysfs network class folder.
class FakeNetFolder {
public:
    FakeNetFolder() : root(fs::path(testing::TempDir()) / ("qm-net-" + std::to_string(::getpid())))
    {
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~FakeNetFolder() { fs::remove_all(root); }

    void Add(const std::string& name, const std::string& address, int type, bool physical)
    {
        fs::create_directories(root / name);
        std::ofstream(root / name / "address") << address << "\n";
        std::ofstream(root / name / "type") << type << "\n";
        if (physical)
            fs::create_directories(root / name / "device");
    }

    fs::path root;
};

}  // namespace

TEST(MachineId, TakesFirstPhysicalEthernetInterface)
{
    FakeNetFolder net;
    net.Add("lo", "00:00:00:00:00:00", 772, false);
    net.Add("br0", "aa:aa:aa:aa:aa:aa", 1, false);      // bridge: virtual
    net.Add("wwan0", "00:00:00:00:00:00", 1, true);     // no address
    net.Add("wlp2s0", "10:20:30:40:50:60", 1, true);
    net.Add("enp3s0", "02:fc:00:00:00:01", 1, true);    // sorts first among the real ones
    unsigned char address[6];
    ASSERT_TRUE(qm::ReadHardwareAddress(net.root.c_str(), address));
    EXPECT_EQ(address[0], 0x02);
    EXPECT_EQ(address[1], 0xfc);
    EXPECT_EQ(address[5], 0x01);
}

TEST(MachineId, NoRealInterface)
{
    FakeNetFolder net;
    net.Add("lo", "00:00:00:00:00:00", 772, false);
    net.Add("veth1", "12:34:56:78:9a:bc", 1, false);
    unsigned char address[6];
    EXPECT_FALSE(qm::ReadHardwareAddress(net.root.c_str(), address));
    EXPECT_FALSE(qm::ReadHardwareAddress((net.root / "missing").c_str(), address));
}

TEST(MachineId, GuidCarriesTheAddressInItsFirstFields)
{
    const unsigned char address[6] = {0x02, 0xfc, 0x00, 0x11, 0x22, 0x33};
    long long id = qm::MachineIdFromAddress(address);
    // Bytes 0-3 and then 4-5 (and two zero bytes), each read as a little-endian number.
    EXPECT_STREQ(qm::FormatScoreGuid(id, 0x5f000000u, 0x1234u).c_str(), "1100fc02000033225f00000000001234");
    EXPECT_STREQ(qm::FormatScoreGuid(0, 1, 2).c_str(), "00000000000000000000000100000002");
}

TEST(MachineId, GeneratedGuidsHave32HexDigits)
{
    str first = qmGenerateGUIDStr();
    str second = qmGenerateGUIDStr();
    ASSERT_EQ(first.length(), 32);
    for (int i = 0; i < 32; ++i)
        EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(first[i])) && !std::isupper(static_cast<unsigned char>(first[i])));
    // The machine part is the same; the random part differs.
    EXPECT_EQ(std::string(first.c_str(), 16), std::string(second.c_str(), 16));
    EXPECT_NE(std::string(first.c_str() + 24), std::string(second.c_str() + 24));
    long long id = 0;
    if (GetHardwareFingerprint(id))
        EXPECT_STREQ(qm::FormatScoreGuid(id, 0, 0).substr(0, 16).c_str(), first.substr(0, 16).c_str());
    else
        EXPECT_EQ(std::string(first.c_str(), 16), std::string(16, '0'));
}
