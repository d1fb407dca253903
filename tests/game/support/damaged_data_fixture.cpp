#include "damaged_data_fixture.h"

#include "engine/platform/event.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::string DamageName(EDamage kind)
{
    switch (kind) {
    case EDamage::kCutToOneByte: return "cut1";
    case EDamage::kCutInHalf: return "half";
    case EDamage::kEmptied: return "empty";
    case EDamage::kDeleted: return "deleted";
    case EDamage::kFlippedBits: return "flipped";
    }
    return "?";
}

void DamageFile(const std::string& path, EDamage kind)
{
    if (kind == EDamage::kDeleted) {
        fs::remove(path);
        return;
    }
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    switch (kind) {
    case EDamage::kCutToOneByte: bytes.resize(std::min<size_t>(bytes.size(), 1)); break;
    case EDamage::kCutInHalf: bytes.resize(bytes.size() / 2); break;
    case EDamage::kEmptied: bytes.clear(); break;
    case EDamage::kFlippedBits: {
        std::mt19937 random(7);
        for (int i = 0; i < 8 && !bytes.empty(); ++i)
            bytes[random() % bytes.size()] ^= static_cast<char>(1 << (random() % 8));
        break;
    }
    case EDamage::kDeleted: break;
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void DamagedData::SetUp()
{
    GameAppTest::SetUp();
    UseGameData();
    CopyGameFolder("config");
    CopyGameFolder("layouts");
}

void DamagedData::TearDown()
{
    if (mLogging)
        EndLog();
    GameAppTest::TearDown();
}

void DamagedData::CopyGameFolder(const char* folder)
{
    const fs::path data = fs::path(QM_SOURCE_DIR) / "data" / "assets";
    fs::create_directories((scratch.Path() / "assets" / folder).parent_path());
    fs::copy(data / folder, scratch.Path() / "assets" / folder,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void DamagedData::Damage(const std::string& relative, EDamage kind)
{
    const fs::path path = scratch.Path() / relative;
    ASSERT_TRUE(fs::exists(path)) << relative;
    DamageFile(path.string(), kind);
}

// The engine's start captures the log with GoogleTest's own capturer, which
// cannot nest: this one redirects the descriptor itself, into a file.
void DamagedData::BeginLog()
{
    std::fflush(stderr);
    mLogPath = (scratch.Path() / "run.log").string();
    const int file = ::open(mLogPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(file, 0);
    mSavedStderr = ::dup(2);
    ::dup2(file, 2);
    ::close(file);
    mLogging = true;
}

std::string DamagedData::EndLog()
{
    if (!mLogging)
        return std::string();
    std::fflush(stderr);
    ::dup2(mSavedStderr, 2);
    ::close(mSavedStderr);
    mLogging = false;
    std::ifstream in(mLogPath, std::ios::binary);
    // The engine's start kept its own lines (HeadlessWindowTest::startLog).
    return startLog + std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TModalWindow* DamagedData::Top() { return manager->GetTopModalWindow(); }

str DamagedData::TopName() { return Top() ? Top()->GetName() : str(); }

bool DamagedData::WaitForTop(const char* name, int turns)
{
    for (int i = 0; i < turns && TopName() != str(name) && !app->HasQuit(); ++i)
        Idle(16);
    return TopName() == str(name);
}

void DamagedData::Press(const char* name)
{
    TWindow* w = Top() ? Top()->GetChildWindow(name, -1) : nullptr;
    ASSERT_NE(w, nullptr) << name << " on " << TopName().c_str();
    ClickThroughGame(w);
    Idle(16);
}

void DamagedData::NameThePlayer(const char* name)
{
    ASSERT_TRUE(WaitForTop("scripts/entername.lua", 400));
    for (const char* c = name; *c; ++c)
        Send(TEvent::kChar, static_cast<unsigned char>(*c));
    Idle(16);
    Press("enterok");
}

bool DamagedData::AnswerYesAndQuitWithin(int turns)
{
    for (int i = 0; i < turns; ++i) {
        if (TopName() == str("scripts/closeconfirm.lua")) {
            if (TWindow* yes = Top()->GetChildWindow("yes", -1))
                ClickThroughGame(yes);
        }
        if (app->HasQuit() || !Idle())
            return true;
    }
    return false;
}
