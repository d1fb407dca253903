#include "online/machineid.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const char kNetClassFolder[] = "/sys/class/net";
const int kArphrdEther = 1;  // Ethernet-like link layer (wired and wireless)

std::string readLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

bool parseAddress(const std::string& text, unsigned char address[6])
{
    unsigned bytes[6];
    char extra;
    if (std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &bytes[0], &bytes[1], &bytes[2], &bytes[3],
                    &bytes[4], &bytes[5], &extra) != 6)
        return false;
    bool allZero = true;
    for (int i = 0; i < 6; ++i) {
        address[i] = static_cast<unsigned char>(bytes[i]);
        allZero = allZero && bytes[i] == 0;
    }
    return !allZero;
}

std::vector<std::string> sortedEntries(const char* folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder)) {
        while (dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] != '.')
                names.emplace_back(entry->d_name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A real interface sits on a bus device; virtual ones (loopback, bridges,
// tunnels, veth pairs) have no "device" link.
bool isPhysical(const std::string& interfaceFolder)
{
    struct stat info;
    return ::stat((interfaceFolder + "/device").c_str(), &info) == 0;
}

uint32_t randomField()
{
    // Seeded once per process from the system, so GUIDs made in the same
    // second by two runs still differ.
    static std::mt19937 generator{std::random_device{}()};
    return generator() & 0x7fffffffu;
}

}  // namespace

namespace qm {

bool ReadHardwareAddress(const char* netClassFolder, unsigned char address[6])
{
    for (const std::string& name : sortedEntries(netClassFolder)) {
        std::string folder = std::string(netClassFolder) + "/" + name;
        if (!isPhysical(folder) || std::atoi(readLine(folder + "/type").c_str()) != kArphrdEther)
            continue;
        if (parseAddress(readLine(folder + "/address"), address))
            return true;
    }
    return false;
}

long long MachineIdFromAddress(const unsigned char address[6])
{
    uint64_t id = 0;
    for (int i = 5; i >= 0; --i)
        id = (id << 8) | address[i];
    return static_cast<long long>(id);
}

str FormatScoreGuid(long long id, uint32_t time, uint32_t random)
{
    uint64_t bits = static_cast<uint64_t>(id);
    return str::getFormatted("%08x%08x%08x%08x", static_cast<unsigned>(bits & 0xffffffffu),
                             static_cast<unsigned>(bits >> 32), time, random);
}

}  // namespace qm

bool GetHardwareFingerprint(long long& id)
{
    unsigned char address[6];
    if (!qm::ReadHardwareAddress(kNetClassFolder, address))
        return false;
    id = qm::MachineIdFromAddress(address);
    return true;
}

str qmGenerateGUIDStr()
{
    long long id = 0;
    GetHardwareFingerprint(id);  // no interface: the identifier stays 0
    return qm::FormatScoreGuid(id, static_cast<uint32_t>(std::time(nullptr)), randomField());
}
