// The "Auto Login" item: its start-up state and its command.
#pragma once
#include "platform/platform.h"

namespace ostrevo {

class Form1;

// Shows the item only on the NT family and checks it when automatic logon is on.
void AutoLogonStartup(Form1& form, Platform& platform);
// Switches automatic logon off, or on through the details dialog.
void AutoLogonCommand(Form1& form, Platform& platform);

}  // namespace ostrevo
