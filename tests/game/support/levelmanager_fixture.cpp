#include "levelmanager_fixture.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

void LevelTest::WriteFile(const std::string& name, const std::string& text)
{
    const fs::path path = mHome / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void LevelTest::WriteCustomerTypes()
{
    WriteFile("assets/config/customer.xml",
              "<dataroot>\n"
              "<customer><id>young</id><graphicType>young_female</graphicType>"
              "<deciding_DurationMS>3000</deciding_DurationMS></customer>\n"
              "<customer><id>family</id><graphicType>dad_male</graphicType><graphicOverride1>dad_male</graphicOverride1>"
              "<graphicOverride2>mom_female</graphicOverride2><graphicOverride3>kid_male</graphicOverride3></customer>\n"
              "<customer><id>crowd</id><graphicType>old_male</graphicType>"
              "</customer>\n"
              "</dataroot>\n");
}

void LevelTest::WriteFloor(const std::string& name)
{
    WriteFile("assets/layouts/" + name + ".txt",
              "sy--------------\n----------------\n----------------\n"
              "..r2b...........\n"
              "..g4b...........\n"
              "..r4y...........\n"
              "................\n................\n................\n................\n"
              "................\n................\n................\n");
}

void LevelTest::StartWithSettings()
{
    StartPlatform();
    Create();
}
