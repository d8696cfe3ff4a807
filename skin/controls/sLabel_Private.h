// What the topic files of unit sLabel share; not for other units.
#pragma once

#include "classlib/controls/Messages.h"

class TsSkinManager;

namespace slabel_detail {

// Set while a label paints: the font changes it makes then are the skin's.
extern bool PaintGuard;
// DefaultManager when it has an announced skin and is not going away.
TsSkinManager* ActiveManager();
// The sub-command of a command message; 0 for any other message.
int KorvexCommand(const TMessage& Message);

} // namespace slabel_detail
