// The program's key text: it keys the preferences store, the hiscore store
// and the enciphered configuration files (".bin" siblings of ".xml" files).
// 56 characters from A-Z and 0-9, the Base64 form of a 42-byte cipher key.
// It lives in the engine library so that tools/qmcrypt and the game share it.
#pragma once

extern const char ENCRYPTION_KEY[];
