#include "skin/core/sMessages.h"

UINT SM_KORVEXCMD = 0xA100;
