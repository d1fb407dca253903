// The game's entry on the headless engine with a copy of the game's own data
// (scripts, strings, fonts, configuration, layouts) of which a test damages
// one file before the start, and the log of the run.
#pragma once

#include "gameapp_fixture.h"

#include "engine/base/str.h"

#include <string>

enum class EDamage { kCutToOneByte, kCutInHalf, kEmptied, kDeleted, kFlippedBits };

// "cut1", "half", "empty", "deleted", "flipped": for test names and tables.
std::string DamageName(EDamage kind);

// Damages the file at `path` in place (a deterministic pattern of flipped
// bits for kFlippedBits).
void DamageFile(const std::string& path, EDamage kind);

class DamagedData : public GameAppTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Damages a file of the scratch folder, named from it ("assets/...").
    void Damage(const std::string& relative, EDamage kind);
    // Copies more of the game's data folders (below assets/) into the scratch folder.
    void CopyGameFolder(const char* folder);

    // The log from now to EndLog.
    void BeginLog();
    std::string EndLog();

    class TModalWindow* Top();
    str TopName();
    // Idle turns until the top modal window has the name (at most `turns`).
    bool WaitForTop(const char* name, int turns = 200);
    // Presses the named child of the top modal window.
    void Press(const char* name);
    // A first start: waits for the name entry, types a name and confirms.
    void NameThePlayer(const char* name = "Ada");
    // When the close confirmation shows, answers "yes"; then true when the
    // game quits within `turns` idle turns.
    bool AnswerYesAndQuitWithin(int turns);

private:
    bool mLogging = false;
    int mSavedStderr = -1;
    std::string mLogPath;
};
