#include "skin/core/sStyleSimply.h"

bool aSkinChanging = false;
bool aSkinRemoving = false;
