// A complete simulated platform over a fresh scratch directory, for one test.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/sim/sim_disk.h"
#include "platform/sim/sim_power.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_text.h"
#include "platform/sim/sim_ui.h"
#include "platform/sim/sim_version.h"

namespace ostrevo {

inline std::string MakeScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ostrevo-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a scratch directory";
    return pattern;
}

struct TestPlatform {
    TestPlatform() : root(MakeScratchDirectory()), disk(root), profile(disk) {}
    ~TestPlatform() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    std::string root;
    SimDisk disk;
    SimProfile profile;
    SimVersion version;
    SimText text;
    SimUi ui;
    SimPower power;
    SimRegistry registry;
    Platform platform{profile, disk, version, text, ui, power, registry};
};

}  // namespace ostrevo
