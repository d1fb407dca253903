// Listing of compiled code, for the tools.
#pragma once

#include <cstdio>

#include "lobject.h"

void luaU_print(const Proto* f, FILE* out);
