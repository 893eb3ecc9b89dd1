// Runs the scenarios of tests/unit/scenarios over the simulated platform. A scenario is a list of
// steps, some with a block of indented lines. Texts in steps and blocks may use \0 (NUL), \t, \n,
// \s (a blank, where one would not show), \d (the list delimiter), \xe9, \\, and \*300v (300 v's).
//   file PATH [readonly] [hidden] [folder] [denied]  the file's lines     deny PATH | after N   the file
//   refuses writes (after N more) garble N [refuse]   the next N writes store "?@?" (then the file refuses
//   writes) winlogon, winlogon32, ostrevo   registry values: Name=text or Name=TYPE:HEX (the last under
//   SOFTWARE\Ostrevo) system 9x|failed|wow64   separators DEC GROUP   regdeny, regreadonly (SOFTWARE\Ostrevo)
//   refuse privilege|exit CODE, refuse NAME, lock NAME...   the platform refuses start   answer Yes|No|0...
//   input [TEXT]   type USER|DOMAIN|PASSWORD or cancel   click, rclick A>B expect WHAT (menu, messages, file
//   PATH, power, events, inputs, opened, queries, writes, winlogon,
//               winlogon32): the block is what is seen; a list is emptied once checked
//   check FUNCTION ARGS -> RESULT   one call of the program's code; arguments apart with ";"
//   (check whole with a fourth argument: every answer fills the buffer)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>

#include "bootcfg/boot_ini.h"
#include "bootcfg/boot_loader_writer.h"
#include "ini/ini_file.h"
#include "platform/sim/sim_platform.h"
#include "registry/registry_utils.h"
#include "shell/form1.h"
#include "util/app_utils.h"
#include "util/numeric_text.h"
#include "util/outcome.h"
#include "util/profile_read.h"

namespace ostrevo {
namespace {

using Lines = std::vector<std::string>;
const char kWinlogon[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char kWinlogon32[] = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char kOstrevo[] = "SOFTWARE\\Ostrevo";

Lines Split(const std::string& text, const std::string& by) {
    Lines parts;
    size_t p = 0;
    for (size_t q; (q = text.find(by, p)) != std::string::npos; p = q + by.size())
        parts.push_back(text.substr(p, q - p));
    parts.push_back(text.substr(p));
    return parts;
}
std::wstring Wide(const std::string& text) {
    std::wstring wide;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\*") == 0) {  // \*300v: 300 times v
            const size_t digits = text.find_first_not_of("0123456789", i + 2);
            wide.append(std::stoul(text.substr(i + 2, digits - i - 2)), static_cast<wchar_t>(text[digits]));
            i = digits;
            continue;
        }
        if (text.compare(i, 2, "\\x") == 0) {  // \xe9: one character of the code page
            wide += static_cast<wchar_t>(std::stoul(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
            continue;
        }
        const char c = text[i] == '\\' && i + 1 < text.size() ? text[++i] : 0;
        const std::map<char, wchar_t> escapes = {{'0', L'\0'}, {'t', L'\t'},          {'n', L'\n'},
                                                 {'s', L' '},  {'d', kListDelimiter}, {'\\', L'\\'}};
        if (c != 0 && escapes.count(c) != 0) {
            wide += escapes.at(c);
        } else {  // not an escape: the backslash of a path stays
            if (c != 0) wide += L'\\';
            wide += static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
        }
    }
    return wide;
}
// Compared as the bytes the data writes them in; every character here is one of Latin-1.
std::string Shown(const std::wstring& text) {
    std::string shown;
    for (wchar_t c : text) shown += static_cast<char>(c);
    return shown;
}
std::string Shown(const std::vector<std::wstring>& items) {
    std::string shown;
    for (const std::wstring& item : items) shown += (shown.empty() ? "" : "|") + Shown(item);
    return shown;
}
template <typename T>
std::string Maybe(const std::optional<T>& value) {
    char text[32] = "none";
    if (value) std::snprintf(text, sizeof(text), "%.10g", static_cast<double>(*value));
    return text;
}
std::string Hex(const RegValue& value) {
    std::string hex = std::to_string(value.type) + ":";
    for (uint8_t byte : value.data)
        hex += "0123456789ABCDEF"[byte >> 4] + std::string(1, "0123456789ABCDEF"[byte & 15]);
    return hex;
}

// The visible items, one top-level item a line, its submenu after " > "; '*' checked, '~' disabled.
std::string Item(const MenuItem& item) {
    std::string text = (item.Checked ? "*" : "") + std::string(item.Enabled ? "" : "~") + Shown(item.Caption);
    const char* separator = " > ";
    for (const auto& child : item.Children()) {
        if (!child->Visible) continue;
        text += separator + Item(*child);
        separator = " | ";
    }
    return text;
}

// A window that logs what is done to it; a left or top of "none" is one it lacks.
struct Window : FormWindow {
    std::optional<int32_t> WindowState() override { return state; }
    bool WindowState(int32_t s) override { return (log += "state " + std::to_string(s) + " ", true); }
    std::optional<double> Left() override { return left; }
    std::optional<double> Top() override { return top; }
    std::optional<double> Width() override { return 4000; }
    std::optional<double> Height() override { return 3500.5; }
    bool Move(int32_t l, int32_t t, int32_t w, int32_t h) override {
        for (int32_t n : {l, t, w, h}) log += std::to_string(n) + " ";
        return true;
    }
    std::optional<int32_t> state = 0;
    std::optional<double> left = -200, top = 900;
    std::string log;
};

// 15 twips a pixel and 11520 twips high (768 pixels); as wide as given.
struct Screen : ScreenMetrics {
    std::optional<double> Width() override { return width; }
    std::optional<double> Height() override { return 11520; }
    std::optional<float> TwipsPerPixelX() override { return 15.0f; }
    std::optional<float> TwipsPerPixelY() override { return 15.0f; }
    std::optional<double> width;
};

// "null", "empty", "int:N", or a text.
DynamicValue Value(const std::string& text) {
    if (text == "null" || text == "empty") return text == "null" ? DynamicValue::Null() : DynamicValue();
    return text.rfind("int:", 0) == 0 ? DynamicValue::FromInteger(std::stoi(text.substr(4)))
                                      : DynamicValue::FromText(Wide(text));
}
std::optional<double> OptionalNumber(const std::string& text) {
    return text == "none" ? std::nullopt : std::optional<double>(std::stod(text));
}

class Scenario {
public:
    void Step(const std::string& word, const std::string& rest, const Lines& block);

private:
    std::string Check(const std::string& name, const Lines& a);
    Lines Seen(const std::string& what, const std::string& rest);
    // "Name=text", or "Name=T:HEX" for a value of type T.
    void Seed(const char* path, const Lines& block) {
        for (const std::string& line : block) {
            const size_t equals = line.find('=');
            const std::string text = line.substr(equals + 1);
            RegValue value{kRegSz, {text.c_str(), text.c_str() + text.size() + 1}};
            if (text.size() > 1 && text[1] == ':' && std::isdigit(static_cast<unsigned char>(text[0]))) {
                value = {static_cast<uint32_t>(text[0] - '0'), {}};
                for (size_t i = 2; i + 1 < text.size(); i += 2)
                    value.data.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
            }
            p.registry.Set(kHkeyLocalMachine, path, line.substr(0, equals), value);
        }
    }

    TestPlatform p;
    std::unique_ptr<Form1> form;
    cIniFile ini{p.disk, p.text};
    Lines opened;
    SavedRegValue saved;
};

void Scenario::Step(const std::string& word, const std::string& rest, const Lines& block) {
    const Lines words = Split(rest, " ");
    const auto has = [&words](const char* flag) { return std::count(words.begin(), words.end(), flag) != 0; };
    if (word == "file") {
        std::string text;
        for (const std::string& line : block) text += p.text.ToAnsi(Wide(line)) + "\r\n";
        const uint32_t attributes = (has("readonly") ? kFileAttributeReadOnly : 0) |
                                    (has("hidden") ? kFileAttributeHidden : 0) |
                                    (has("folder") ? kFileAttributeDirectory : 0);
        p.disk.Put(words[0], text, attributes != 0 ? attributes : kFileAttributeArchive);
        if (has("denied")) p.disk.DenyWrites(words[0]);
    } else if (word == "deny" && words[0] == "after") {
        p.disk.writesBeforeDenial = std::stoi(words[1]);
    } else if (word == "deny") {
        p.disk.DenyWrites(rest);
    } else if (word == "garble") {
        p.disk.garbled = std::stoi(words[0]);
        p.disk.writesBeforeDenial = has("refuse") ? 1 : 0;
    } else if (word == "winlogon" || word == "winlogon32" || word == "ostrevo") {
        Seed(word == "winlogon" ? kWinlogon : word == "winlogon32" ? kWinlogon32 : kOstrevo, block);
    } else if (word == "regdeny" || word == "regreadonly") {
        p.registry.Deny(kHkeyLocalMachine, kOstrevo, word == "regreadonly");
    } else if (word == "system") {
        p.version.platformId = rest == "9x"       ? kVerPlatformWin32Windows
                               : rest == "failed" ? 0
                                                  : kVerPlatformWin32Nt;
        p.version.wow64 = p.registry.wow64 = rest == "wow64";
    } else if (word == "separators") {
        p.text.decimal = Wide(words[0]);
        p.text.group = Wide(words[1]);
    } else if (word == "refuse" && (words[0] == "privilege" || words[0] == "exit")) {
        (words[0] == "exit" ? p.power.exitRefusal : p.power.privilegeRefusal) = std::stoul(words[1]);
    } else if (word == "refuse") {
        p.registry.refused = rest;
        p.registry.refusedOnce = false;
    } else if (word == "lock") {
        p.registry.locked = words;
    } else if (word == "start") {
        form = std::make_unique<Form1>(p.platform);
        if (!form->Form_Load()) p.ui.events.push_back("no tray");  // the program ends before its icon
    } else if (word == "answer") {
        for (const std::string& answer : words)
            p.ui.answers.push_back(answer == "Yes" ? kIdYes : answer == "No" ? kIdNo : 0);
    } else if (word == "input") {
        p.ui.inputs.push_back(rest == "(cancel)" ? std::nullopt : std::optional<std::wstring>(Wide(rest)));
    } else if (word == "type") {
        p.ui.dialogs.push_back([this, typed = Split(rest, "|")](Form2& d) {
            opened.push_back(
                Shown(d.edtusername.Text() + L"|" + d.edtdomain.Text() + L"|" + d.edtpassword.Text()) +
                (d.btnok.Enabled ? "|ok" : "|-"));
            if (typed.size() < 3) return d.Command2_Click();
            d.edtusername.SetText(Wide(typed[0]));
            d.edtdomain.SetText(Wide(typed[1]));
            d.edtpassword.SetText(Wide(typed[2]));
            d.btnok_Click();
        });
    } else if (word == "click" || word == "rclick") {
        std::vector<std::wstring> path;
        for (const std::string& caption : Split(rest, ">")) path.push_back(Wide(caption));
        p.ui.choices.push_back(rest.empty() ? std::vector<std::wstring>{} : path);
        word == "click" ? form->PrimaryMenuEvent() : form->SecondaryMenuEvent();
    } else if (word == "expect") {
        Lines expected;
        for (const std::string& line : block) expected.push_back(Shown(Wide(line)));
        EXPECT_EQ(Seen(words[0], words.size() > 1 ? words[1] : ""), expected);
    } else if (word == "check") {
        const size_t arrow = rest.rfind(" ->");
        const std::string call = rest.substr(0, arrow),
                          expected = rest.substr(std::min(arrow + 4, rest.size()));
        const size_t space = call.find(' ');
        Lines args = space == std::string::npos ? Lines{} : Split(call.substr(space + 1), ";");
        for (std::string& arg : args) {  // blanks that count are written \s
            arg.erase(0, arg.find_first_not_of(' '));
            arg.erase(arg.find_last_not_of(' ') + 1);
        }
        EXPECT_EQ(Check(call.substr(0, space), args), Shown(Wide(expected)));
    } else {
        ADD_FAILURE() << "no such step: " << word;
    }
}

std::string Scenario::Check(const std::string& name, const Lines& a) {
    const auto arg = [&a](size_t i) { return i < a.size() ? Wide(a[i]) : std::wstring(); };
    const auto yes = [](bool b) { return std::string(b ? "yes" : "no"); };
    const std::wstring d = ListDelimiter();
    const std::wstring key = Wide(kOstrevo);
    // The code, then the value as stored after the call.
    const auto AndStored = [this](ErrorCode code, const std::string& value) {
        const std::optional<RegValue> v = p.registry.Get(kHkeyLocalMachine, kOstrevo, value);
        return std::to_string(code) + " " + (v ? Hex(*v) : "none");
    };
    std::vector<std::wstring> items;
    int32_t count = -1;
    if (name == "count") return std::to_string(ListItemCount(arg(0), a.size() > 1 ? arg(1) : d));
    if (name == "item") return Shown(GetListItem(std::stoi(a[0]), arg(1), d));
    if (name == "find") return std::to_string(FindListItem(arg(0), arg(1), d, p.text));
    if (name == "split") return Shown(SplitList(arg(0), d));
    if (name == "add") {
        std::wstring list = arg(1);
        AddListItem(arg(0), list, a[2] == "front", d, arg(3));
        return Shown(list);
    }
    if (name == "join") {
        for (const std::string& item : Split(a[0], "|")) items.push_back(Wide(item));
        return Shown(JoinList(items, d));
    }
    if (name == "number") return Maybe(ParseNumericText(arg(0), p.text));
    if (name == "round") return Maybe(RoundToInt32(std::stod(a[0])));
    if (name == "integer") return Shown(IntegerText(std::stoll(a[0])));
    if (name == "clng") return std::to_string(cIniFile::CLngDefault(arg(0), p.text, std::stoi(a[1])));
    if (name == "display") return Shown(DisplayName(arg(0)));
    if (name == "failure")
        return Shown(FailureText(p.text, L"What.", static_cast<ErrorCode>(std::stoul(a[0]))));
    if (name == "fits") return yes(FitsProfileCall(std::string(std::stoul(a[0]), 'a')));
    if (name == "pieces") return Shown(SplitNulList(arg(0), a[1] == "keep"));
    if (name == "nonuls") return Shown(WithoutNuls(arg(0)));
    if (name == "nt") return (p.version.platformId = std::stoul(a[0]), yes(IsWinNT(p.version)));
    if (name == "valuetext") return Shown(ValueToText(Value(a[0])));
    if (name == "exists") {
        p.disk.errorMode = 0x8000;
        p.disk.searchModes.clear();
        const bool found = FileExists(p.disk, p.text, arg(0));
        const bool callersModeKept = std::all_of(p.disk.searchModes.begin(), p.disk.searchModes.end(),
                                                 [](uint32_t mode) { return mode == 0x8001; });
        return yes(found) + (p.disk.errorMode != 0x8000 ? " (mode changed)" : "") +
               (callersModeKept ? "" : " (caller's mode dropped)") +
               (p.disk.noMediumBoxes != 0 ? " (asked for a disk)" : "");
    }
    if (name == "bootkey") {
        const Outcome outcome = WriteBootLoaderKey(p.platform, arg(0), arg(1));
        const std::string message = Shown(outcome.message);
        return outcome.done ? "done" + (message.empty() ? "" : ": " + message) : message;
    }
    if (name == "attributes")
        return std::to_string(p.disk.GetAttributes(a[0])) + " after " +
               std::to_string(p.disk.attributeChanges);
    if (name == "keys") return Shown(SectionKeys(p.disk, p.text, arg(0), arg(1)));
    if (name == "keylist") return Shown(SectionKeyList(p.disk, p.text, arg(0), arg(1)));
    if (name == "whole") {
        const int reads = p.disk.reads;
        p.disk.full = a.size() > 3;
        const ProfileText read = ReadWhole(p.disk, a[0].c_str(), a[1] == "-" ? nullptr : a[1].c_str(), "",
                                           "C:\\ostrevo.ini", std::stoul(a[2]));
        p.disk.full = false;
        return (read.text.size() > 4096 ? std::to_string(read.text.size()) + " bytes"
                                        : Shown(p.text.FromAnsi(read.text))) +
               (read.whole ? "" : " (cut)") + " in " + std::to_string(p.disk.reads - reads);
    }
    if (name == "regread") {
        const DynamicValue v = ReadRegValue(p.platform, kHkeyLocalMachine, key, arg(0));
        return v.kind() == DynamicValue::Kind::Integer ? "int:" + std::to_string(v.integer())
                                                       : "text:" + Shown(v.text());
    }
    if (name == "regwrite")
        return AndStored(WriteRegValue(p.platform, kHkeyLocalMachine, a.size() > 2 ? arg(2) : key, L"V",
                                       Value(a[0]), std::stoi(a[1])),
                         "V");
    if (name == "regstring")
        return AndStored(WriteRegString(p.platform, kHkeyLocalMachine, key, L"V", arg(0)), "V");
    if (name == "regdelete")
        return std::to_string(
            DeleteRegValue(p.platform, kHkeyLocalMachine, arg(1).empty() ? key : arg(1), arg(0)));
    if (name == "regsave")
        return (saved = SaveRegValue(p.platform, kHkeyLocalMachine, key, arg(0)),
                std::string(saved.known ? "known" : "unknown") + (saved.present ? " present" : ""));
    if (name == "regrestore")
        return AndStored(RestoreRegValue(p.platform, kHkeyLocalMachine, key, arg(0), saved), a[0]);
    if (name == "regkey") return yes(p.registry.KeyExists(kHkeyLocalMachine, a[0]));
    // cIniFile over C:\test.ini: the cursor's settings, its reads and writes.
    if (name == "path" || name == "section" || name == "key" || name == "default") {
        name == "path"      ? ini.Path(arg(0))
        : name == "section" ? ini.Section(arg(0))
        : name == "key"     ? ini.Key(arg(0))
                            : ini.Default(arg(0));
        return "";
    }
    if (name == "value" && a.empty()) return Shown(ini.Value());
    if (name == "value") ini.Value(arg(0));
    if (name == "deletekey") ini.DeleteKey();
    if (name == "deletesection") ini.DeleteSection();
    if (name == "inisection" && !a.empty()) ini.INISection(arg(0));
    if (name == "value" || name == "deletekey" || name == "deletesection" ||
        (name == "inisection" && !a.empty())) {
        return std::to_string(ini.LastReturnCode()) + Shown(FailureText(p.text, L"", ini.LastError()));
    }
    if (name == "inisection") return Shown(ini.INISection());
    if (name == "sections") return Shown(ini.Sections());
    if (name == "settings")
        return Shown(ini.Path() + L"|" + ini.Section() + L"|" + ini.Key() + L"|" + ini.Default()) + "|" +
               std::to_string(ini.Success());
    if (name == "enumerate" || name == "enumerateall") {
        (ini.*(name == "enumerate" ? &cIniFile::EnumerateCurrentSection : &cIniFile::EnumerateAllSections))(
            items, count);
        return std::to_string(count) + ":" + Shown(items);
    }
    // Window placement in section [w] of C:\test.ini; key and default must come back as they were.
    if (name == "save" || name == "load") {
        Window window;
        window.state = OptionalNumber(a[0]);
        window.left = a.size() > 1 ? OptionalNumber(a[1]) : -200.0;
        window.top = a.size() > 3 ? OptionalNumber(a[3]) : 900.0;
        Screen screen;
        screen.width = a.size() > 2 ? OptionalNumber(a[2]) : 15360.0;
        ini.Path(L"C:\\other.ini");
        ini.Section(L"w");
        ini.Key(L"Saved");
        ini.Value(L"1");  // a result that only a failure takes back to 0
        ini.Path(L"C:\\ostrevo.ini");
        ini.Key(L"mine");
        ini.Default(L"own");
        name == "save" ? ini.SaveFormPosition(window)
                       : ini.LoadFormPosition(window, screen, a.size() > 4 ? std::stod(a[4]) : 3000);
        const std::string restored = ini.Key() + ini.Default() == L"mineown" ? "" : " (key or default lost)";
        std::string file = p.disk.Text("C:\\ostrevo.ini");
        for (size_t at; (at = file.find("\r\n")) != std::string::npos;) file.replace(at, 2, ";");
        if (!window.log.empty()) window.log.pop_back();
        return (name == "load" ? window.log : file) + (ini.Success() ? "" : "FAILED") + restored;
    }
    ADD_FAILURE() << "no such check: " << name;
    return "";
}

Lines Scenario::Seen(const std::string& what, const std::string& rest) {
    Lines seen;
    if (what == "menu") {
        for (const auto& item : form->mnupopup.Children()) {
            if (item->Visible) seen.push_back(Item(*item));
        }
    } else if (what == "messages" || what == "inputs") {
        std::vector<std::wstring>& shown = what == "messages" ? p.ui.messages : p.ui.inputBoxes;
        for (const std::wstring& line : shown) seen.push_back(Shown(line));
        shown.clear();
    } else if (what == "file") {
        seen = Split(p.disk.Text(rest), "\r\n");
        seen.pop_back();
    } else if (what == "winlogon" || what == "winlogon32") {
        for (const char* name :
             {"AutoAdminLogon", "DefaultUserName", "DefaultDomain", "DefaultDomainName", "DefaultPassword"}) {
            const std::optional<RegValue> v =
                p.registry.Get(kHkeyLocalMachine, what == "winlogon" ? kWinlogon : kWinlogon32, name);
            if (v)
                seen.push_back(
                    name +
                    ("=" + (v->type == kRegSz ? std::string(v->data.begin(), v->data.end() - 1) : Hex(*v))));
        }
    } else {
        seen.swap(what == "power"    ? p.power.calls
                  : what == "events" ? p.ui.events
                  : what == "opened" ? opened
                  : what == "writes" ? p.registry.writes
                                     : p.registry.queries);
    }
    return seen;
}

std::vector<std::string> ScenarioNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(OSTREVO_SCENARIOS))
        names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ScenarioTest : public testing::TestWithParam<std::string> {};

TEST_P(ScenarioTest, Holds) {
    std::ifstream in(std::string(OSTREVO_SCENARIOS) + "/" + GetParam() + ".txt");
    ASSERT_TRUE(in);
    std::vector<std::tuple<int, std::string, Lines>> steps;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.rfind("  ", 0) == 0 && !steps.empty()) {
            std::get<2>(steps.back()).push_back(line.substr(2));
        } else if (!line.empty() && line[0] != '#') {
            steps.push_back({number, line, {}});
        }
    }
    Scenario scenario;
    for (const auto& [at, line, block] : steps) {
        SCOPED_TRACE(GetParam() + ".txt:" + std::to_string(at) + ": " + line);
        const size_t space = line.find(' ');
        scenario.Step(line.substr(0, space), space == std::string::npos ? "" : line.substr(space + 1), block);
    }
}

INSTANTIATE_TEST_SUITE_P(Data, ScenarioTest, testing::ValuesIn(ScenarioNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace ostrevo
