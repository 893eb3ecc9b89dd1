// The program's version, in the one place both the resource script and the code read it from.
#pragma once

#define OSTREVO_VERSION_MAJOR 1
#define OSTREVO_VERSION_MINOR 0
#define OSTREVO_VERSION_PATCH 0
#define OSTREVO_VERSION_TEXT "1.0.0"
