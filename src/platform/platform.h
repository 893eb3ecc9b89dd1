// Everything the program's logic may ask of the system, handed in by the shell or a test.
#pragma once
#include "platform/file_api.h"
#include "platform/power_api.h"
#include "platform/profile_api.h"
#include "platform/registry_api.h"
#include "platform/secret_api.h"
#include "platform/text_api.h"
#include "platform/ui_api.h"
#include "platform/version_api.h"

namespace ostrevo {

struct Platform {
    ProfileApi& profile;
    FileApi& files;
    VersionApi& version;
    TextApi& text;
    UiApi& ui;
    PowerApi& power;
    RegistryApi& registry;
    SecretApi& secrets;
};

}  // namespace ostrevo
