// A close request of the game window while both editors are open, with no
// confirmation in force: the level's and the customer type's edits are
// written before the program leaves, through its one clean way out.
#include "gameapp_fixture.h"

#include "engine/window/windowmanager.h"
#include "game/editors/customereditor.h"
#include "game/editors/editorfields.h"
#include "game/editors/leveleditor.h"
#include "game/settings/settings.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

// Both editors open, the level editor on top, as a developer would have them.
constexpr char kEditorsMainLoop[] = R"(
    ReadFile('scripts/ui.lua')
    return function()
        PushModal('customers')
        ReadFile('scripts/customereditor.lua')
        DoModal('scripts/leveleditor.lua')
    end)";

}  // namespace

class EditorsCloseTest : public GameAppTest {
protected:
    void Write(const char* name, const char* text) const
    {
        fs::create_directories((scratch.Path() / name).parent_path());
        std::ofstream(scratch.Path() / name, std::ios::binary) << text;
    }
    std::string Read(const char* name) const
    {
        std::ifstream in(scratch.Path() / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(EditorsCloseTest, ACloseRequestKeepsTheEditsOfBothEditors)
{
    UseGameData();
    Script("mainloop.lua", kEditorsMainLoop);
    Write("assets/config/career/1.xml",
          "<dataroot>\n<career>\n<level>1</level>\n<goal>800</goal>\n<layout>floor</layout>\n</career>\n</dataroot>\n");
    Write("assets/layouts/floor.txt", "----------------\n----------------\n----------------\n..r2b...........\n");
    Write("assets/config/customer.xml", "<dataroot>\n<customer><id>young</id><baseTip>10</baseTip></customer>\n</dataroot>\n");
    Start();
    ASSERT_NE(TSettings::GetInstance(), nullptr);
    TWindow* level = Find("leveleditorwindow");
    TWindow* customers = Find("customereditorwindow");
    ASSERT_NE(level, nullptr);
    ASSERT_NE(customers, nullptr);
    ASSERT_TRUE(customers->IsKindOf(TCustomerEditor::ClassId()));

    editors::SetField(level, "goalval", "2500");
    editors::SetField(customers, "basetip", "12");
    EXPECT_FALSE(Send(TEvent::kCloseRequest));
    EXPECT_TRUE(app->HasQuit());

    const std::string levelText = Read("assets/config/career/1.xml");
    EXPECT_NE(levelText.find("2500"), std::string::npos) << levelText;
    const std::string types = Read("assets/config/customer.xml");
    EXPECT_NE(types.find("12"), std::string::npos) << types;
    EXPECT_EQ(types.rfind("<?xml", 0), 0u);
}
