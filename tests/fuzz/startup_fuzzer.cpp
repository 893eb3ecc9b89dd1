// Start-up on any bytes as C:\boot.ini: the program must build a menu that holds for every file,
// without a crash or a sanitizer report, and write nothing.
#include <cstdlib>
#include <set>

#include "platform/sim/sim_platform.h"
#include "shell/form1.h"
#include "util/app_utils.h"

// A broken rule ends the run, which libFuzzer records with the input that broke it.
#define CHECK(condition) ((condition) ? (void)0 : std::abort())

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ostrevo;
    TestPlatform p;
    p.disk.Put("C:\\boot.ini", std::string(reinterpret_cast<const char*>(data), size));
    const std::string before = p.disk.Text("C:\\boot.ini");
    Form1 form(p.platform);
    CHECK(form.Form_Load() && p.ui.messages.empty() && p.disk.Text("C:\\boot.ini") == before);

    int marks = 0;  // exactly one timeout item, the one LastTimeout names
    for (MenuItem* item :
         {&form.mnu0, &form.mnu10, &form.mnu15, &form.mnu20, &form.mnu30, &form.mnu45, &form.mnuother}) {
        if (item->Checked) CHECK(++marks == 1 && form.LastTimeout == item);
    }
    CHECK(marks == 1 && (form.mnuother.Checked || form.mnuother.Caption == L"Other..."));

    // One item per key in each array, unique ignoring case, at most one default.
    CHECK(form.mnuRBOS.size() == form.mnuDefOs.size() && !form.mnuDefOs[0]->Visible &&
          !form.mnuRBOS[0]->Visible);
    std::set<std::wstring> keys;
    std::vector<std::wstring> tags;
    for (size_t i = 1; i < form.mnuDefOs.size(); ++i) {
        const MenuItem& item = *form.mnuDefOs[i];
        CHECK(item.Visible && item.Tag == form.mnuRBOS[i]->Tag && item.Caption == form.mnuRBOS[i]->Caption);
        CHECK(!item.Tag.empty() && keys.insert(p.text.ToUpper(item.Tag)).second &&
              item.Caption.size() <= 254);
        CHECK(item.Checked == (form.LastDefault == static_cast<int>(i)));
        tags.push_back(item.Tag);
    }
    CHECK(form.LastDefault < static_cast<int>(form.mnuDefOs.size()) &&
          form.OSList == JoinList(tags, ListDelimiter()));
    return 0;
}
