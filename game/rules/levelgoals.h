// ILevelGoals: the two score marks of the level being played. The level
// manager answers them; the coin jar and tests need nothing else of it.
#pragma once

class ILevelGoals {
public:
    virtual ~ILevelGoals() = default;
    virtual int GetCurrentGoal() const = 0;
    virtual int GetCurrentExpert() const = 0;
};
