#include "engine/base/encryptionkey.h"

// Chosen at random for this program. Changing it makes every existing
// prefs.dat, hiscore.dat and ".bin" file unreadable.
const char ENCRYPTION_KEY[] = "Z897YGN81LQEY72PBHZDIDZ0GH4O8FEEGZWK5DK5LOTGPJOJTS6745YA";
