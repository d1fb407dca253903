// The developer editors with the game's own scripts on the headless engine:
// a career level edited (goal, schedule, a table added and dragged), saved,
// read back byte for byte and played through the level manager; the floor
// the editor draws beside the game's own floor of that level; a customer
// type edited and saved; the name lists; and the faults of empty documents.
#include "screens_fixture.h"

#include "engine/window/button.h"
#include "engine/window/image.h"
#include "engine/window/message.h"
#include "engine/window/slider.h"
#include "engine/window/windowmanager.h"
#include "game/editors/customereditor.h"
#include "game/editors/editorfields.h"
#include "game/editors/leveleditor.h"
#include "game/editors/namelist.h"
#include "game/floor/bar.h"
#include "game/floor/table.h"
#include "engine/render/animatedtexture.h"
#include "game/levels/levellayout.h"
#include "game/levels/levelmanager.h"
#include "game/levels/partyfactory.h"
#include "game/play/gamedata.h"
#include "game/play/restaurantstaff.h"
#include "game/rules/scoremanager.h"
#include "floorbot.h"
#include "game/screens/screenchildren.h"
#include "recordinghandler.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <list>
#include <regex>

namespace fs = std::filesystem;

namespace {

constexpr char kLevel[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dataroot>\n<career>\n<level>1</level>\n<goal>800</goal>\n"
    "<expert>1450</expert>\n<leavePenalty>300</leavePenalty>\n<layout>floor</layout>\n"
    "<snackChance>0</snackChance>\n<time1>2000</time1>\n<groupType1>young</groupType1>\n"
    "<groupDef1>r</groupDef1>\n</career>\n</dataroot>\n";
constexpr char kFloor[] =
    "sy--------------\n----------------\n----------------\n..r2b...........\n..g4b...........\n"
    "..r4y...........\n................\n................\n................\n................\n"
    "................\n................\n................\n";
constexpr char kCustomers[] =
    "<dataroot>\n<customer><id>young</id><graphicType>young_female</graphicType><baseTip>10</baseTip></customer>\n"
    "<customer><id>crowd</id><graphicType>old_male</graphicType><baseTip>30</baseTip></customer>\n"
    "<customer><id>powerup_tip</id><graphicType>old_male</graphicType></customer>\n</dataroot>\n";

// The text of the first <key> element of an XML text, blanks around it trimmed.
std::string Element(const std::string& xml, const std::string& key)
{
    const size_t open = xml.find("<" + key + ">");
    const size_t close = xml.find("</" + key + ">");
    if (open == std::string::npos || close == std::string::npos)
        return "(none)";
    std::string text = xml.substr(open + key.size() + 2, close - open - key.size() - 2);
    text.erase(0, text.find_first_not_of(" \n"));
    text.erase(text.find_last_not_of(" \n") + 1);
    return text;
}

class TCountingFactory : public IPartyFactory {
public:
    TParty* CreateParty(const TPartyOrder& order) override
    {
        orders.push_back(order);
        return reinterpret_cast<TParty*>(orders.size());
    }
    void SetTimeMultiplier(TParty*, float) override {}
    std::vector<TPartyOrder> orders;
};

}  // namespace

class EditorsTest : public GameScreensTest {
protected:
    void SetUp() override
    {
        GameScreensTest::SetUp();
        CopyAssets({"strings.xml", "scripts/ui.lua", "scripts/editorui.lua", "scripts/leveleditor.lua",
                    "scripts/leveleditorparties.lua", "scripts/customereditor.lua", "fonts", "ui/menu"});
        WriteData("assets/config/career/1.xml", kLevel);
        WriteData("assets/layouts/floor.txt", kFloor);
        WriteData("assets/config/customer.xml", kCustomers);
        StartGame();
        settings->SetCurrentGameMode(TSettings::kCareerMode);
        settings->SetLevelMode(0);
    }

    void WriteData(const char* name, const char* text) const
    {
        fs::create_directories((scratch.Path() / name).parent_path());
        std::ofstream(scratch.Path() / name, std::ios::binary) << text;
    }

    std::string Read(const char* name) const
    {
        std::ifstream in(scratch.Path() / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    TLevelEditor* OpenLevelEditor()
    {
        OpenScreen("scripts/leveleditor.lua");
        TWindow* found = Find("leveleditorwindow");
        return found ? found->GetCast<TLevelEditor>() : nullptr;
    }

    TCustomerEditor* OpenCustomerEditor()
    {
        OpenScreen("scripts/customereditor.lua");
        TWindow* found = Find("customereditorwindow");
        return found ? found->GetCast<TCustomerEditor>() : nullptr;
    }

    void Drag(TPoint from, TPoint to)
    {
        MouseAt(TEvent::kMouseMove, from.x, from.y);
        MouseAt(TEvent::kMouseDown, from.x, from.y);
        MouseAt(TEvent::kMouseMove, to.x, to.y);
        MouseAt(TEvent::kMouseUp, to.x, to.y);
    }
};

TEST_F(EditorsTest, ALevelEditedSavedReloadedAndPlayed)
{
    TLevelEditor* editor = OpenLevelEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editors::GetField(editor, "goalval"), str("800"));
    EXPECT_EQ(editors::GetField(editor, "leavepenaltyval"), str("300"));
    EXPECT_EQ(editors::GetField(editor, "layoutval"), str("floor"));
    ASSERT_EQ(editor->GetTables().size(), 2u);
    EXPECT_TRUE(editors::GetToggle(editor, "snackstation"));
    EXPECT_FALSE(editors::GetToggle(editor, "drinkstation"));

    // The goal, and a second party in the schedule.
    Lua("SetWindowText('goalval', '1234')");
    OpenScreen("scripts/leveleditorparties.lua");
    EXPECT_EQ(editors::GetField(editor, "typeval0"), str("young"));
    Lua("SetWindowText('timeval1', '5000') SetWindowText('defval1', 'gg') SetWindowText('typeval1', 'crowd')");
    Lua("RecordCustomers()");
    manager->PopModal();
    Frame(0);

    // A 4-seat table at row 8, column 10, placed as the layout's reader
    // places one read from that cell; then dragged two cells left.
    Lua("SetMouseMode(3)");
    const TPoint cell = TLevelLayout::GetTableLocation(8.0f, 10.0f);
    ClickAt(cell.x, cell.y);
    ASSERT_EQ(editor->GetTables().size(), 3u);
    EXPECT_EQ(editor->TableDescriptors().back().point, editors::TablePointForCell(4, 8, 10));
    EXPECT_NE(editor->TableDescriptors().back().point, TLevelLayout::GetTableLocation(10.5f, 8.0f));
    Lua("SetMouseMode(0)");
    const TPoint moved = TLevelLayout::GetTableLocation(8.0f, 8.0f);
    Drag(editor->TableDescriptors().back().point, moved);
    EXPECT_EQ(editor->TableDescriptors().back().point, editors::TablePointForCell(4, 8, 8));
    // Clicking the drinks toggle adds the station to the layout.
    TButton* drinks = editors::FindToggle(editor, "drinkstation");
    ASSERT_NE(drinks, nullptr);
    drinks->SetOn(true);
    Lua("ToggleStation(0)");
    Lua("SaveLevelData()");

    const std::string level = Read("assets/config/career/1.xml");
    EXPECT_EQ(Element(level, "goal"), "1234");
    EXPECT_EQ(Element(level, "groupType2"), "crowd");
    const std::string layout = Read("assets/layouts/floor.txt");
    EXPECT_EQ(layout.substr(0, 3), "dsy");
    EXPECT_EQ(layout.substr(8 * 17 + 7, 3), "c4c");  // row 8: grey chairs beside the new table

    // Read back: the files are what a fresh editor writes again, byte for byte.
    manager->PopModal();
    Frame(0);
    TLevelManager reloaded(TLevelManager::kCareer);
    EXPECT_EQ(std::string(reloaded.LevelAsStr().c_str()), level);
    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    reloaded.SetupTables(&tables, &bar);
    ASSERT_EQ(tables.size(), 3u);
    EXPECT_EQ(tables[2].point, editors::TablePointForCell(4, 8, 8));
    TLevelLayout::SaveLayout("again", tables, nullptr, reloaded.GetLayout().GetStations());
    EXPECT_EQ(Read("assets/layouts/again.txt"), layout);
    const auto written = fs::last_write_time(scratch.Path() / "assets/config/career/1.xml");
    TLevelEditor* second = OpenLevelEditor();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(editors::GetField(second, "goalval"), str("1234"));
    Lua("SaveLevelData()");  // unchanged: nothing written
    EXPECT_EQ(fs::last_write_time(scratch.Path() / "assets/config/career/1.xml"), written);
    EXPECT_EQ(Read("assets/config/career/1.xml"), level);

    // Played: both parties of the edited schedule arrive, the second one of
    // the edited type with its two green members.
    TCountingFactory factory;
    TLevelManager play(TLevelManager::kCareer, &factory);
    EXPECT_EQ(play.GetCurrentGoal(), 1234);
    play.StartLevel();
    std::list<TParty*> line;
    for (int step = 0; step < 200 && !play.IsClosed(); ++step)
        play.UpdateQueue(0.1f, &line);
    ASSERT_EQ(factory.orders.size(), 2u);
    EXPECT_EQ(factory.orders[1].size, 2);
    EXPECT_FLOAT_EQ(factory.orders[1].def.baseTip, 30.0f);
}

// The editor on the game's own data: configuration and layouts copied (the
// editor writes them), the rest read where it is.
class EditedLevelPlay : public GameScreensTest {
protected:
    void SetUp() override
    {
        GameScreensTest::SetUp();
        const fs::path assets = fs::path(QM_DATA_DIR) / "assets";
        fs::create_directories(scratch.Path() / "assets");
        for (const fs::directory_entry& entry : fs::directory_iterator(assets)) {
            const fs::path to = scratch.Path() / "assets" / entry.path().filename();
            const std::string name = entry.path().filename().string();
            if (name == "config" || name == "layouts" || !entry.is_directory())
                fs::copy(entry.path(), to, fs::copy_options::recursive);
            else
                fs::create_directory_symlink(entry.path(), to);
        }
        StartGame();
        settings->SetCurrentGameMode(TSettings::kCareerMode);
        settings->SetLevelMode(0);
    }

    std::string Read(const fs::path& path) const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(EditedLevelPlay, ALevelSavedByTheEditorIsAGeneratedFileWithItsEditsAndTheGamePlaysIt)
{
    const std::string generated = Read(fs::path(QM_DATA_DIR) / "assets/config/career/2.xml");
    OpenScreen("scripts/leveleditor.lua");
    auto* editor = GetCast<TLevelEditor>(Find("leveleditorwindow"));
    ASSERT_NE(editor, nullptr);
    Lua("IncrementLevel(1)");  // level 2: level 1 unchanged, nothing written
    ASSERT_EQ(settings->GetCurrentTotalLevel(), 1);
    EXPECT_FALSE(fs::exists(scratch.Path() / "assets/config/career/1.xml.tmp"));
    EXPECT_EQ(Read(scratch.Path() / "assets/config/career/1.xml"),
              Read(fs::path(QM_DATA_DIR) / "assets/config/career/1.xml"));

    // A lower goal, and the first party a pair of reds.
    Lua("SetWindowText('goalval', '300')");
    OpenScreen("scripts/leveleditorparties.lua");
    Lua("SetWindowText('defval0', 'rr') RecordCustomers()");
    manager->PopModal();
    Frame(0);
    Lua("SaveLevelData()");

    // The generator's file, line for line, but for the edits and the mark
    // that makes it the editor's.
    std::string expected = std::regex_replace(generated, std::regex("<goal>\\d+</goal>"), "<goal>300</goal>");
    expected = std::regex_replace(expected, std::regex("<groupDef1>\\w+</groupDef1>"), "<groupDef1>rr</groupDef1>");
    expected = std::regex_replace(expected, std::regex("(<level>2</level>\n)"), "$1        <edited>1</edited>\n");
    const std::string saved = Read(scratch.Path() / "assets/config/career/2.xml");
    EXPECT_EQ(saved, expected);

    // Read back by the level manager as the game reads it.
    manager->PopModal();
    Frame(0);
    TLevelManager reread(TLevelManager::kCareer);
    ASSERT_TRUE(reread.IsLevelDefined());
    EXPECT_EQ(reread.GetCurrentGoal(), 300);
    EXPECT_EQ(std::string(reread.LevelAsStr().c_str()), saved);
    const std::regex group("<groupDef\\d+>");
    const int parties =
        static_cast<int>(std::distance(std::sregex_iterator(saved.begin(), saved.end(), group), std::sregex_iterator()));
    ASSERT_GT(parties, 0);

    // Played on the floor by the bot: every party of the edited schedule
    // is seated, the first a pair, and the lowered goal is reached.
    TXmlNode globalDoc;
    globalDoc.ParseString(TSettings::ReadEncryptedFile("assets/config/global.xml").c_str());
    TXmlNode* root = globalDoc.GetChild("dataroot");
    TLevelEventLog host;
    TScoreManager score;
    TGameData floor(root ? root->GetChild("globals") : nullptr, &score, &host.events);
    floor.SetupStars();
    floor.SetupLevel();
    ASSERT_TRUE(floor.GetLevelManager()->IsLevelDefined());
    EXPECT_EQ(floor.GetLevelManager()->GetCurrentGoal(), 300);
    floor.StartIntro();
    floor.DoSkipTutorial();
    TFloorBot bot(floor);
    constexpr float kFrame = 1.0f / 60;
    for (int frame = 0; frame < 600 / kFrame && floor.GetState() != kLevelOver; ++frame) {
        floor.Update(kFrame);
        bot.Act();
    }
    ASSERT_EQ(floor.GetState(), kLevelOver);
    ASSERT_EQ(host.Results().size(), 1u);
    EXPECT_TRUE(host.Results()[0].win);
    EXPECT_GE(host.Results()[0].levelScore, 300);
    EXPECT_EQ(bot.Seated(), parties);
}

namespace {

bool SameDraw(const RecordedDraw& a, const RecordedDraw& b)
{
    return a.data == b.data && a.sprite == b.sprite && a.pos.x == b.pos.x && a.pos.y == b.pos.y &&
           a.alpha == b.alpha && a.scaleX == b.scaleX && a.scaleY == b.scaleY && a.source == b.source;
}

// How many of `piece`'s draws are missing from `shown`, each draw of
// `shown` standing for one of them at most.
int Missing(const std::vector<RecordedDraw>& piece, std::vector<RecordedDraw> shown)
{
    int missing = 0;
    for (const RecordedDraw& draw : piece) {
        const auto found = std::find_if(shown.begin(), shown.end(), [&](const RecordedDraw& s) { return SameDraw(s, draw); });
        if (found == shown.end())
            ++missing;
        else
            shown.erase(found);
    }
    return missing;
}

}  // namespace

// The editor shows the floor as the level shows it: its tables and bar are
// the floor's own, made from the layout where the game makes them, and each
// station the layout holds draws the game's art at the game's place.
TEST_F(EditedLevelPlay, TheEditorDrawsTheLevelsOwnTablesBarAndEveryStation)
{
    // The first blimp level (it has a bar), with every station in its layout.
    const fs::path layoutFile = scratch.Path() / "assets/layouts/blimp01.txt";
    std::string grid = Read(layoutFile);
    grid.replace(0, 8, "dsymhpoe");
    std::ofstream(layoutFile, std::ios::binary) << grid;

    RecordingHandler handler;  // textures made from here on record their draws
    OpenScreen("scripts/leveleditor.lua");
    auto* editor = GetCast<TLevelEditor>(Find("leveleditorwindow"));
    ASSERT_NE(editor, nullptr);
    Lua("IncrementLevel(30)");
    ASSERT_EQ(settings->GetCurrentRestaurant(), 3);
    ASSERT_EQ(settings->GetCurrentLevel(), 0);
    for (const char* toggle : {"drinkstation", "snackstation", "dessertstation", "mop", "highchair", "phone",
                               "podium", "bench", "bar"})
        EXPECT_TRUE(editors::GetToggle(editor, toggle)) << toggle;
    handler.draws.clear();
    editor->Draw();
    const std::vector<RecordedDraw> shown = handler.draws;

    // The same level as the game sets it up.
    TXmlNode globalDoc;
    globalDoc.ParseString(TSettings::ReadEncryptedFile("assets/config/global.xml").c_str());
    TXmlNode* root = globalDoc.GetChild("dataroot");
    TLevelEventLog host;
    TScoreManager score;
    TGameData floor(root ? root->GetChild("globals") : nullptr, &score, &host.events);
    floor.SetupStars();
    floor.SetupLevel();
    ASSERT_EQ(editor->GetTables().size(), floor.GetTables().size());
    ASSERT_GE(editor->GetTables().size(), 3u);
    for (size_t i = 0; i < floor.GetTables().size(); ++i) {
        const TTable& mine = *editor->GetTables()[i];
        const TTable& game = *floor.GetTables()[i];
        EXPECT_EQ(mine.GetLocation(), game.GetLocation()) << "table " << i;
        EXPECT_EQ(mine.BoundingBox(), game.BoundingBox()) << "table " << i;
        ASSERT_EQ(mine.GetChairCount(), game.GetChairCount()) << "table " << i;
        for (int c = 0; c < game.GetChairCount(); ++c)
            EXPECT_EQ(mine.GetChairColor(c), game.GetChairColor(c)) << "table " << i << " chair " << c;
    }
    ASSERT_NE(editor->GetBar(), nullptr);
    ASSERT_NE(floor.GetBar(), nullptr);
    EXPECT_EQ(editor->GetBar()->BoundingBox(), floor.GetBar()->BoundingBox());

    // What each piece of the game's floor draws, the editor draws too.
    TAnimatedTextureCache cache(100, 120, 80);
    // The shelves, phone and podium draw inside their caller's 2D pass, as the game's floor does.
    auto drawsOf = [&handler](const std::function<void()>& draw, bool ownPass = false) {
        handler.draws.clear();
        TPlatform* platform = TPlatform::GetInstance();
        if (!ownPass)
            platform->Begin2d();
        draw();
        if (!ownPass)
            platform->End2d();
        return handler.draws;
    };
    TRestaurantStaff& staff = floor.GetStaff();
    struct TPiece {
        std::string name;
        std::function<void()> draw;
        bool ownPass = false;
    };
    std::vector<TPiece> pieces = {
        {"drink station", [&] { floor.GetDrinkStation().Draw(); }},
        {"dessert station", [&] { floor.GetDessertStation().Draw(); }},
        {"snack station", [&] { floor.GetSnackStation().Draw(); }},
        {"high chair station", [&] { floor.GetHighChairStation().Draw(); }},
        {"mop station", [&] { floor.GetMopStation().Draw(); }},
        {"phone", [&] { staff.Phone().Draw(); }},
        {"podium", [&] { staff.Podium().Draw(); }},
        {"bench", [&] { floor.GetBench().Draw(); }, true},
        {"bar", [&] { floor.GetBar()->Draw(&cache); }, true},
    };
    for (size_t i = 0; i < floor.GetTables().size(); ++i)
        pieces.push_back({"table " + std::to_string(i),
                          [&floor, &cache, i] { floor.GetTables()[i]->Draw(&cache, 0, 0); }, true});
    for (const TPiece& piece : pieces) {
        const std::vector<RecordedDraw> drawn = drawsOf(piece.draw, piece.ownPass);
        EXPECT_FALSE(drawn.empty()) << piece.name << " drew nothing in the game";
        EXPECT_EQ(Missing(drawn, shown), 0) << piece.name << " is not drawn as the game draws it";
    }

    // A click on a chair where it is drawn steps its colour, and on the
    // table's picture (beside its layout cell) deletes that table.
    const TTable& first = *editor->GetTables().front();
    const TRect chairBox = first.GetChair(0)->BoundingBox();
    const int colour = first.GetChairColor(0);
    Lua("SetMouseMode(5)");
    ClickAt((chairBox.x1 + chairBox.x2) / 2, (chairBox.y1 + chairBox.y2) / 2);
    const int stepped = colour >= kChairColorNone ? 0 : colour + 1;
    EXPECT_EQ(editor->TableDescriptors().front().colors[0], stepped);
    EXPECT_EQ(editor->GetTables().front()->GetChairColor(0), stepped);
    const TTable& last = *editor->GetTables().back();
    ASSERT_NE(last.Look(), nullptr);
    TRect picture = last.Look()->BoundingBox(0);
    picture.Offset(last.GetLocation().x, last.GetLocation().y);
    const TPoint edge{picture.x2 - 2, (picture.y1 + picture.y2) / 2};
    ASSERT_GT(edge.x - editor->TableDescriptors().back().point.x, 560.0f / kLayoutColumns / 2);
    Lua("SetMouseMode(1)");
    ClickAt(edge.x, edge.y);
    EXPECT_EQ(editor->GetTables().size(), floor.GetTables().size() - 1);

    // A station switched off is not drawn.
    editors::SetToggle(editor, "podium", false);
    const std::vector<RecordedDraw> podium = drawsOf([&] { staff.Podium().Draw(); });
    handler.draws.clear();
    editor->Draw();
    EXPECT_EQ(Missing(podium, handler.draws), int(podium.size()));
    // Another restaurant: the same tables in its art.
    const auto blimpLook = editor->GetTables().front()->Look();
    Lua("IncrementRestaurant(1)");
    ASSERT_NE(editor->GetTables().front()->Look(), nullptr);
    EXPECT_NE(editor->GetTables().front()->Look(), blimpLook);
    EXPECT_EQ(editor->TableDescriptors().size(), floor.GetTables().size() - 1);
    manager->PopModal();
    Frame(0);
}

TEST_F(EditedLevelPlay, AnEndlessShiftSavedByTheEditorIsTheGeneratedFileWithItsEdits)
{
    const std::string generated = Read(fs::path(QM_DATA_DIR) / "assets/config/endless.xml");
    settings->SetCurrentGameMode(TSettings::kEndlessMode);
    OpenScreen("scripts/leveleditor.lua");
    ASSERT_NE(GetCast<TLevelEditor>(Find("leveleditorwindow")), nullptr);
    Lua("SaveLevelData()");  // nothing changed: nothing written
    EXPECT_EQ(Read(scratch.Path() / "assets/config/endless.xml"), generated);

    Lua("SetWindowText('endlessstarsval', '5') SaveLevelData()");
    // The first shift's entry: five stars, and the mark that makes it the
    // editor's; every other byte as the generator wrote it.
    const size_t first = generated.find("    </endless>");
    ASSERT_NE(first, std::string::npos);
    std::string expected = generated.substr(0, first) + "        <edited>1</edited>\n" + generated.substr(first);
    expected.replace(expected.find("<numStars>3</numStars>"), 22, "<numStars>5</numStars>");
    const std::string saved = Read(scratch.Path() / "assets/config/endless.xml");
    EXPECT_EQ(saved, expected);
}

TEST_F(EditorsTest, LevelNumbersAndRestaurantsWrap)
{
    TLevelEditor* editor = OpenLevelEditor();
    ASSERT_NE(editor, nullptr);
    Lua("IncrementLevel(-1)");
    EXPECT_EQ(settings->GetCurrentTotalLevel(), 54);
    Lua("IncrementLevel(1)");
    EXPECT_EQ(settings->GetCurrentTotalLevel(), 0);
    Lua("IncrementRestaurant(-1)");
    EXPECT_EQ(settings->GetCurrentRestaurant(), 5);
    EXPECT_EQ(editors::GetField(editor, "restaurantval"), str("6"));
    // Stepping through levels that do not exist wrote nothing.
    EXPECT_FALSE(fs::exists(scratch.Path() / "assets/config/career/55.xml"));
}

TEST_F(EditorsTest, TablesRefusedOnTablesOffTheFloorAndWhereTheyWouldNotFit)
{
    TLevelEditor* editor = OpenLevelEditor();
    ASSERT_NE(editor, nullptr);
    Lua("SetMouseMode(2)");
    const TPoint onTable = editor->TableDescriptors().front().point;
    for (TPoint p : {onTable, TPoint{20, 20}, TLevelLayout::GetTableLocation(12.0f, 0.0f)})
        ClickAt(p.x, p.y);
    EXPECT_EQ(editor->GetTables().size(), 2u);
    EXPECT_FALSE(editor->IsLayoutChanged());
    // Chair colours step 5 -> 6 -> 0; delete takes the table under the point.
    Lua("SetMouseMode(2)");
    const TPoint free = TLevelLayout::GetTableLocation(10.0f, 12.0f);
    ClickAt(free.x, free.y);
    ASSERT_EQ(editor->GetTables().size(), 3u);
    Lua("SetMouseMode(5)");
    const TPoint leftChair = TLevelLayout::GetTableLocation(10.0f, 11.0f);
    ClickAt(leftChair.x, leftChair.y);
    ClickAt(leftChair.x, leftChair.y);
    EXPECT_EQ(editor->TableDescriptors().back().colors[0], 0);
    Lua("SetMouseMode(1)");
    ClickAt(free.x, free.y);
    EXPECT_EQ(editor->GetTables().size(), 2u);
}

TEST_F(EditorsTest, ACustomerTypeEditedAddedAndSavedOnClose)
{
    TCustomerEditor* editor = OpenCustomerEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editors::GetField(editor, "customername"), str("young"));
    Lua("IncrementCustomer(-1, true)");  // back from the first: the last
    EXPECT_EQ(editors::GetField(editor, "customername"), str("powerup_tip"));
    Lua("IncrementCustomer(1, true)");
    editors::SetField(editor, "basetip", "15");
    Lua("IncrementCustomer(1, true)");
    EXPECT_EQ(editors::GetField(editor, "basetip"), str("30"));
    Lua("NewCustomer('newtype')");
    EXPECT_EQ(editor->GetCurrent(), 3);
    EXPECT_EQ(editors::GetField(editor, "customername"), str("newtype"));
    EXPECT_EQ(editors::GetField(editor, "basetip"), str(""));  // no "default" type to copy

    // An old copy of the file, hard-linked, keeps its bytes: the file is
    // replaced whole, never rewritten in place.
    fs::create_hard_link(scratch.Path() / "assets/config/customer.xml", scratch.Path() / "customer.old");
    manager->PopModal();
    Frame(0);
    manager->ClearDestroyedWindows();
    EXPECT_EQ(Read("customer.old"), kCustomers);
    const std::string saved = Read("assets/config/customer.xml");
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u);
    EXPECT_EQ(Element(saved, "baseTip"), "15");
    EXPECT_NE(saved.find("newtype"), std::string::npos);
    // Read back byte for byte: an editor that changes nothing writes the same.
    TCustomerEditor* again = OpenCustomerEditor();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->CountCustomers(), 4);
    EXPECT_TRUE(again->SaveData());
    EXPECT_EQ(Read("assets/config/customer.xml"), saved);
}

TEST_F(EditorsTest, DeletingFromAnEmptyFileAndPagingAnEmptyListDoNothing)
{
    WriteData("assets/config/customer.xml", "<dataroot>\n<customer><id>solo</id></customer>\n</dataroot>\n");
    TCustomerEditor* editor = OpenCustomerEditor();
    ASSERT_NE(editor, nullptr);
    Lua("DeleteCustomer() DeleteCustomer() IncrementCustomer(1, true) IncrementCustomer(-1, true)");
    EXPECT_EQ(editor->CountCustomers(), 0);
    EXPECT_EQ(editor->GetCurrent(), 0);

    // The figure list: 13 names, five shown; paging moves by five of them.
    auto* list = Find("graphiclist")->GetCast<TGraphicsWindow>();
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->GetSlider(), nullptr);
    TMessage forward(kSliderPageForward, "", nullptr);
    EXPECT_TRUE(list->OnMessage(&forward));
    Frame(0);
    EXPECT_EQ(list->GetTop(), 3);  // 5/13 of the way: first = trunc(0.385 * 9)
    // With no names at all, neither paging nor the slider divides by the count.
    list->SetNames({});
    EXPECT_TRUE(list->OnMessage(&forward));
    TMessage moved(kSliderMoved, "", nullptr);
    EXPECT_TRUE(list->OnMessage(&moved));
    EXPECT_EQ(list->GetTop(), 0);
    EXPECT_FALSE(Find("gamebutton_1")->IsVisible());
}

TEST_F(EditorsTest, TheCustomerListLeavesOutPowerUpsAndHidesSpareButtons)
{
    OpenLevelEditor();
    OpenScreen("scripts/leveleditorparties.lua");
    auto* list = Find("customerlist")->GetCast<TCustomerWindow>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetNames(), (std::vector<str>{"young", "crowd"}));
    EXPECT_TRUE(Find("gamebutton_2")->IsVisible());
    EXPECT_FALSE(Find("gamebutton_3")->IsVisible());
    EXPECT_FALSE(list->GetSlider()->GetHandle()->IsVisible());
    Lua("gPicked = GetCustomerName(1)");
    Lua("SetWindowText('typeval3', gPicked)");
    EXPECT_EQ(screens::GetChildText(manager->GetTopModalWindow(), "typeval3"), str("crowd"));
}
