// A complete simulated platform for one test (and the fuzzer).
#pragma once
#include "platform/platform.h"
#include "platform/sim/sim_disk.h"
#include "platform/sim/sim_power.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_text.h"
#include "platform/sim/sim_ui.h"
#include "platform/sim/sim_version.h"

namespace ostrevo {

struct TestPlatform {
    SimDisk disk;
    SimVersion version;
    SimText text;
    SimUi ui;
    SimPower power;
    SimRegistry registry;
    Platform platform{disk, disk, version, text, ui, power, registry};
};

}  // namespace ostrevo
