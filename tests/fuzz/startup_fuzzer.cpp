// Fuzzes start-up: any bytes as C:\boot.ini, then Form_Load on the simulated platform, checking the
// menu it builds against what must hold for every file.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "memory_file_store.h"
#include "platform/sim/sim_power.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_text.h"
#include "platform/sim/sim_ui.h"
#include "platform/sim/sim_version.h"
#include "shell/form1.h"
#include "util/app_utils.h"

namespace ostrevo {
namespace {

constexpr size_t kLongestValue = 254;  // what the 255-character value read leaves

struct SimPlatform {
    MemoryFileStore store;
    SimProfile profile{store};
    SimVersion version;
    SimText text;
    SimUi ui;
    SimPower power;
    SimRegistry registry;
    Platform platform{profile, store, version, text, ui, power, registry};
};

// The keys of [operating systems] in one read with a buffer nothing can fill, each once ignoring
// case: what the menu must offer, found without the program's growing-buffer loop.
std::vector<std::wstring> KeysInOneRead(SimPlatform& sim, const std::string& file) {
    std::vector<char> buffer(file.size() * 2 + 1024);
    const uint32_t count =
        sim.profile.GetPrivateProfileStringA("operating systems", nullptr, "", buffer.data(),
                                             static_cast<uint32_t>(buffer.size()), "C:\\boot.ini");
    FUZZ_CHECK(count + 2 < buffer.size());
    std::vector<std::wstring> keys;
    std::set<std::wstring> seen;
    size_t p = 0;
    while (p < count) {
        const std::string name(buffer.data() + p);
        p += name.size() + 1;
        const std::wstring wide = sim.text.FromAnsi(name);
        if (!wide.empty() && seen.insert(sim.text.ToUpper(wide)).second) keys.push_back(wide);
    }
    return keys;
}

size_t CountCaption(const MenuItem& submenu, const std::wstring& caption) {
    size_t count = 0;
    for (const auto& item : submenu.Children()) count += item->Visible && item->Caption == caption ? 1 : 0;
    return count;
}

void CheckStartup(const std::string& file) {
    SimPlatform sim;
    sim.store.Put("C:\\boot.ini", file);
    Form1 form(sim.platform);
    FUZZ_CHECK(form.Form_Load());
    FUZZ_CHECK(!sim.ui.ended && sim.ui.messages.empty());
    FUZZ_CHECK(sim.store.writes == 0);
    FUZZ_CHECK(sim.store.Get("C:\\boot.ini") == file);

    // One timeout mark, and LastTimeout is it; "Other..." changes its caption only when it is the one.
    const std::vector<MenuItem*> timeouts = {&form.mnu0,  &form.mnu10, &form.mnu15,   &form.mnu20,
                                             &form.mnu30, &form.mnu45, &form.mnuother};
    int marks = 0;
    for (MenuItem* item : timeouts) {
        if (!item->Checked) continue;
        ++marks;
        FUZZ_CHECK(form.LastTimeout == item);
    }
    FUZZ_CHECK(marks == 1);
    const std::wstring& other = form.mnuother.Caption;
    if (form.mnuother.Checked) {
        FUZZ_CHECK(other.size() >= 8 && other.compare(0, 7, L"Other (") == 0 && other.back() == L')');
    } else {
        FUZZ_CHECK(other == L"Other...");
    }

    // Both arrays: the hidden template and one item per entry, tags equal, captions within reach.
    const size_t n = form.mnuDefOs.size() - 1;
    FUZZ_CHECK(form.mnuRBOS.size() == n + 1);
    for (const std::vector<MenuItem*>* array : {&form.mnuRBOS, &form.mnuDefOs}) {
        FUZZ_CHECK(!(*array)[0]->Visible && !(*array)[0]->Enabled && !(*array)[0]->Checked);
    }
    FUZZ_CHECK(form.mnuRBOS[0]->Caption == L"mnuOS" && form.mnuDefOs[0]->Caption == L"mnuDefOs");
    std::vector<std::wstring> tags;
    std::set<std::wstring> upperTags;
    int defaultMarks = 0;
    for (size_t i = 1; i <= n; ++i) {
        const MenuItem& rebootTo = *form.mnuRBOS[i];
        const MenuItem& makeDefault = *form.mnuDefOs[i];
        FUZZ_CHECK(rebootTo.Visible && rebootTo.Enabled && makeDefault.Visible && makeDefault.Enabled);
        FUZZ_CHECK(rebootTo.Tag == makeDefault.Tag && rebootTo.Caption == makeDefault.Caption);
        FUZZ_CHECK(!rebootTo.Checked);
        FUZZ_CHECK(!makeDefault.Tag.empty());
        FUZZ_CHECK(upperTags.insert(sim.text.ToUpper(makeDefault.Tag)).second);  // unique ignoring case
        // A display name is a cut value, or the quoted part of one: never longer, never a quote first.
        FUZZ_CHECK(makeDefault.Caption.size() <= kLongestValue);
        FUZZ_CHECK(makeDefault.Caption.empty() || makeDefault.Caption[0] != L'"');
        tags.push_back(makeDefault.Tag);
        if (makeDefault.Checked) {
            ++defaultMarks;
            FUZZ_CHECK(form.LastDefault == static_cast<int>(i));
        }
    }
    FUZZ_CHECK(defaultMarks <= 1);
    if (defaultMarks == 0) FUZZ_CHECK(form.LastDefault == 0);
    FUZZ_CHECK(form.OSList == JoinList(tags, ListDelimiter()));

    // No template caption shows unless an entry's own name happens to be the same text.
    size_t entriesNamedLikeTemplates[2] = {0, 0};
    for (size_t i = 1; i <= n; ++i) {
        entriesNamedLikeTemplates[0] += form.mnuRBOS[i]->Caption == L"mnuOS" ? 1 : 0;
        entriesNamedLikeTemplates[1] += form.mnuDefOs[i]->Caption == L"mnuDefOs" ? 1 : 0;
    }
    FUZZ_CHECK(CountCaption(form.mnurebootto, L"mnuOS") == entriesNamedLikeTemplates[0]);
    FUZZ_CHECK(CountCaption(form.mnudefault, L"mnuDefOs") == entriesNamedLikeTemplates[1]);

    // Every key of the section is offered, whole and in file order; none is cut or made up.
    FUZZ_CHECK(tags == KeysInOneRead(sim, file));
}

}  // namespace
}  // namespace ostrevo

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ostrevo::CheckStartup(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
