// Fuzzes window placement: any stored texts, any window members (missing, NaN, huge), any screen,
// any minimum size. Whatever happens, the cursor is restored, a failure reads as LastReturnCode 0,
// and a window that is moved ends up inside the screen margins and no smaller than the minimum.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "fuzz_check.h"
#include "ini/ini_file.h"
#include "memory_file_store.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_text.h"
#include "platform/sim/sim_window.h"

namespace ostrevo {
namespace {

template <typename Number>
Number AnyNumber(FuzzedDataProvider& input, Number ordinary) {
    switch (input.ConsumeIntegralInRange(0, 7)) {
        case 0:
            return std::numeric_limits<Number>::quiet_NaN();
        case 1:
            return input.ConsumeBool() ? std::numeric_limits<Number>::infinity()
                                       : -std::numeric_limits<Number>::infinity();
        case 2:
            return input.ConsumeFloatingPoint<Number>();
        case 3:
            return static_cast<Number>(input.ConsumeIntegral<int32_t>());
        default:
            return ordinary + static_cast<Number>(input.ConsumeIntegralInRange(-20000, 20000)) / 2;
    }
}

template <typename Number>
std::optional<Number> Member(FuzzedDataProvider& input, Number ordinary) {
    if (input.ConsumeIntegralInRange(0, 15) == 0) return std::nullopt;
    return AnyNumber(input, ordinary);
}

void CheckPlacement(FuzzedDataProvider& input) {
    MemoryFileStore store;
    SimProfile profile(store);
    SimText text;
    cIniFile ini(profile, text);
    ini.Path(L"C:\\place.ini");
    ini.Section(L"Form1");
    ini.Key(L"Other");
    ini.Value(L"x");  // a result of 1 to tell a failure's 0 from
    ini.Key(L"Original");
    ini.Default(L"dflt");

    std::string file = "[Form1]\r\n";
    for (const char* key : {"Maximised", "Left", "Top", "Width", "Height"}) {
        if (input.ConsumeBool())
            file += std::string(key) + "=" + input.ConsumeRandomLengthString(12) + "\r\n";
    }
    store.Put("C:\\place.ini", file);

    SimFormWindow window;
    window.windowState = input.ConsumeIntegralInRange(0, 15) == 0
                             ? std::nullopt
                             : std::optional<int32_t>(input.ConsumeIntegralInRange(-1, 3));
    window.left = Member(input, 1200.0);
    window.top = Member(input, 900.0);
    window.width = Member(input, 6000.0);
    window.height = Member(input, 4500.0);
    window.canMove = input.ConsumeIntegralInRange(0, 15) != 0;
    window.canSetWindowState = input.ConsumeIntegralInRange(0, 15) != 0;
    SimScreen screen;
    screen.width = Member(input, 15360.0);
    screen.height = Member(input, 11520.0);
    screen.twipsPerPixelX = Member(input, 15.0f);
    screen.twipsPerPixelY = Member(input, 15.0f);
    const double minWidth = input.ConsumeBool() ? 3000.0 : AnyNumber(input, 3000.0);
    const double minHeight = input.ConsumeBool() ? 3000.0 : AnyNumber(input, 3000.0);

    if (input.ConsumeBool()) {
        ini.SaveFormPosition(window);
        FUZZ_CHECK(ini.Key() == L"Original" && ini.Default() == L"dflt");
        FUZZ_CHECK(window.moves == 0);
        return;
    }
    ini.LoadFormPosition(window, screen, minWidth, minHeight);
    FUZZ_CHECK(ini.Key() == L"Original" && ini.Default() == L"dflt");
    FUZZ_CHECK(ini.LastReturnCode() == 0 || ini.LastReturnCode() == 1);
    FUZZ_CHECK(store.writes == 1);  // a load writes nothing
    if (window.moves == 0) return;

    // Moved: the new placement keeps the margins (to within the rounding) and the minimum.
    const double mx = 4.0 * static_cast<double>(*screen.twipsPerPixelX);
    const double my = 4.0 * static_cast<double>(*screen.twipsPerPixelY);
    FUZZ_CHECK(*window.width >= minWidth && *window.height >= minHeight);
    FUZZ_CHECK(*window.left >= mx - 0.5 && *window.top >= my - 0.5);
    FUZZ_CHECK(*window.left + *window.width <= *screen.width - mx + 0.5);
    FUZZ_CHECK(*window.top + *window.height <= *screen.height - my + 0.5);
}

}  // namespace
}  // namespace ostrevo

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    ostrevo::CheckPlacement(input);
    return 0;
}
