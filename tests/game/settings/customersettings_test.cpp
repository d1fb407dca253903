// Customer types read from customer.xml (plain or enciphered): graphics and
// their overrides, numbers, per-state times, and missing or damaged files.
#include "settings_fixture.h"

#include "game/settings/customersettings.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class Customers : public SettingsTest {
protected:
    void WriteCustomers(const std::string& types, const char* name = "assets/config/customer.xml")
    {
        const fs::path path = mHome / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << "<?xml version=\"1.0\"?>\n<dataroot>\n" << types << "</dataroot>\n";
    }
};

const char* const kBusinessman =
    "<customer><customername>Suits</customername><id>business</id>"
    "<graphicType>suit</graphicType><graphicOverride2>tie</graphicOverride2>"
    "<graphicOverride4></graphicOverride4>"
    "<timeMood>0.5</timeMood><colorMood>1.25</colorMood><baseTip>3</baseTip><moodTip>0.75</moodTip>"
    "<dessertMood>2</dessertMood><loveEffect>-3</loveEffect>"
    "<specialChance>0.1</specialChance><spillChance>0.2</spillChance><spillTimer>4000</spillTimer>"
    "<noiseRate>0.3</noiseRate><noiseRangeX>120</noiseRangeX><noiseRangeY>80</noiseRangeY>"
    "<noiseMood>-1</noiseMood><noiseEffect>5</noiseEffect>"
    "<waiting_MadMS>9000</waiting_MadMS><deciding_DurationMS>3000</deciding_DurationMS>"
    "<ready_HappyMS>2000</ready_HappyMS><ready_MadMS>7000</ready_MadMS>"
    "<special_HappyMS>1500</special_HappyMS><special_MadMS>6500</special_MadMS>"
    "<snack_MadMS>8000</snack_MadMS>"
    "</customer>\n";

TEST_F(Customers, ATypeFillsEveryFieldAndStateTime)
{
    WriteCustomers(kBusinessman);
    TCustomerSettings customers;
    const TCustomerDef def = customers.CreateCustomerDefinition("business");

    EXPECT_STREQ(def.graphicType, "suit");
    EXPECT_FLOAT_EQ(def.timeMood, 0.5f);
    EXPECT_FLOAT_EQ(def.colorMood, 1.25f);
    EXPECT_FLOAT_EQ(def.baseTip, 3.0f);
    EXPECT_FLOAT_EQ(def.moodTip, 0.75f);
    EXPECT_FLOAT_EQ(def.fixedScaleA, 1.0f);
    EXPECT_FLOAT_EQ(def.fixedScaleB, 1.0f);
    EXPECT_FLOAT_EQ(def.minStatePeriodMS, 1000.0f);
    EXPECT_EQ(def.dessertMood, 2);
    EXPECT_EQ(def.loveEffect, -3);
    EXPECT_FLOAT_EQ(def.specialChance, 0.1f);
    EXPECT_FLOAT_EQ(def.spillChance, 0.2f);
    EXPECT_FLOAT_EQ(def.spillTimer, 4000.0f);
    EXPECT_FLOAT_EQ(def.noiseRate, 0.3f);
    EXPECT_FLOAT_EQ(def.noiseRangeX, 120.0f);
    EXPECT_FLOAT_EQ(def.noiseRangeY, 80.0f);
    EXPECT_EQ(def.noiseMood, -1);
    EXPECT_EQ(def.noiseEffect, 5);

    EXPECT_FLOAT_EQ(def.states[0].madMS, 9000.0f);
    EXPECT_FLOAT_EQ(def.states[1].durationMS, 3000.0f);
    EXPECT_FLOAT_EQ(def.states[2].happyMS, 2000.0f);
    EXPECT_FLOAT_EQ(def.states[2].madMS, 7000.0f);
    EXPECT_FLOAT_EQ(def.states[11].madMS, 8000.0f);
    EXPECT_FLOAT_EQ(def.states[12].happyMS, 1500.0f);
    EXPECT_FLOAT_EQ(def.states[12].madMS, 6500.0f);
    // Times the file does not give read as 0.
    EXPECT_FLOAT_EQ(def.states[11].happyMS, 0.0f);
    EXPECT_FLOAT_EQ(def.states[3].madMS, 0.0f);

    const bool timed[kCustomerStateCount] = {true, false, true, true, false, true, false,
                                             true, false, false, false, true, true};
    for (int i = 0; i < kCustomerStateCount; ++i)
        EXPECT_EQ(def.states[i].timed, timed[i]) << "state " << i;
}

TEST_F(Customers, OverridesFollowingTheGraphicTypeReplaceOneSlot)
{
    WriteCustomers(std::string(kBusinessman) +
                   "<customer><id>early</id><graphicOverride2>tie</graphicOverride2>"
                   "<graphicType>suit</graphicType></customer>\n");
    TCustomerSettings customers;

    const TCustomerDef after = customers.CreateCustomerDefinition("business");
    for (int slot = 0; slot < kCustomerGraphicOverrides; ++slot)
        EXPECT_STREQ(after.graphicOverride[slot], slot == 1 ? "tie" : "suit") << "slot " << slot + 1;
    // The empty fourth override neither changes its slot nor counts.
    EXPECT_EQ(customers.GetNumGraphicOverrides("business"), 1);

    // Before "graphicType" the override is overwritten, though it still counts.
    const TCustomerDef before = customers.CreateCustomerDefinition("early");
    for (int slot = 0; slot < kCustomerGraphicOverrides; ++slot)
        EXPECT_STREQ(before.graphicOverride[slot], "suit") << "slot " << slot + 1;
    EXPECT_EQ(customers.GetNumGraphicOverrides("early"), 1);
}

TEST_F(Customers, IdsMatchExactlyAndTheFirstTypeWins)
{
    WriteCustomers("<customer><id>kid</id><graphicType>first</graphicType>"
                   "<graphicOverride1>a</graphicOverride1></customer>\n"
                   "<anything><id>kid</id><graphicType>second</graphicType>"
                   "<graphicOverride1>b</graphicOverride1><graphicOverride6>c</graphicOverride6></anything>\n");
    TCustomerSettings customers;

    EXPECT_STREQ(customers.CreateCustomerDefinition("kid").graphicType, "first");
    // Overrides are counted over every type with the id.
    EXPECT_EQ(customers.GetNumGraphicOverrides("kid"), 3);

    const TCustomerDef unknown = customers.CreateCustomerDefinition("Kid");
    EXPECT_STREQ(unknown.graphicType, "");
    EXPECT_FLOAT_EQ(unknown.minStatePeriodMS, 0.0f);  // the all-zero record
    EXPECT_EQ(customers.GetNumGraphicOverrides("Kid"), 0);
}

TEST_F(Customers, LongGraphicNamesKeep127Characters)
{
    const std::string longName(200, 'g');
    WriteCustomers("<customer><id>long</id><graphicType>" + longName + "</graphicType><graphicOverride3>" +
                   longName + "</graphicOverride3></customer>\n");
    TCustomerSettings customers;
    const TCustomerDef def = customers.CreateCustomerDefinition("long");
    EXPECT_EQ(std::string(def.graphicType), longName.substr(0, 127));
    EXPECT_EQ(std::string(def.graphicOverride[2]), longName.substr(0, 127));
}

TEST_F(Customers, ReadsTheEncipheredSibling)
{
    const std::string xml = "<dataroot><customer><id>old</id><graphicType>cane</graphicType>"
                            "<baseTip>7</baseTip></customer></dataroot>";
    fs::create_directories(mHome / "assets/config");
    std::ofstream(mHome / "assets/config/customer.bin", std::ios::binary)
        << TSettings::EncryptString(xml.c_str()).c_str();
    TCustomerSettings customers;
    const TCustomerDef def = customers.CreateCustomerDefinition("old");
    EXPECT_STREQ(def.graphicType, "cane");
    EXPECT_FLOAT_EQ(def.baseTip, 7.0f);
}

TEST_F(Customers, MissingOrDamagedFilesGiveNoTypesAndALogLine)
{
    {
        testing::internal::CaptureStderr();
        TCustomerSettings customers;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("customer.xml"), std::string::npos);
        EXPECT_STREQ(customers.CreateCustomerDefinition("business").graphicType, "");
        EXPECT_EQ(customers.GetNumGraphicOverrides("business"), 0);
    }
    fs::create_directories(mHome / "assets/config");
    const std::vector<std::string> damaged = {"not xml at all", "<dataroot><customer><id>x",
                                              std::string("\0\xff<<>>&&;", 9), "<other><id>x</id></other>"};
    for (const std::string& bytes : damaged) {
        std::ofstream(mHome / "assets/config/customer.xml", std::ios::binary) << bytes;
        testing::internal::CaptureStderr();
        TCustomerSettings customers;
        testing::internal::GetCapturedStderr();
        const TCustomerDef def = customers.CreateCustomerDefinition("x");
        EXPECT_STREQ(def.graphicType, "");
        customers.GetNumGraphicOverrides("x");
    }
    TCustomerSettings::UpdateCustomerDef(nullptr, nullptr);  // does nothing
}

}  // namespace
