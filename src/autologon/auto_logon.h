// Automatic logon: whether it is on, and switching it off, or on through the details dialog, over
// the Winlogon values.
#pragma once
#include "platform/platform.h"
#include "util/outcome.h"

namespace ostrevo {

// "AutoAdminLogon" reads as exactly "1".
bool AutoLogonIsOn(Platform& platform);
// Not done when "AutoAdminLogon" could not be set to "0"; the stored password is removed as well,
// from the registry and, from Windows XP on, the LSA.
Outcome SwitchAutoLogonOff(Platform& platform);
// Asks for the details in the dialog and stores them, the password from Windows XP on as the LSA's
// secret. Not done, with nothing to tell, when the user did not confirm; not done, and every value
// changed put back, when the registry or the LSA refused one.
Outcome SwitchAutoLogonOn(Platform& platform);

}  // namespace ostrevo
