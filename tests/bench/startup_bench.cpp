// Start-up time against the number of boot entries: the whole of Form_Load on the simulated engine,
// the engine's value reads alone, and the program's own part over a profile answered from an index.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "memory_file_store.h"
#include "platform/sim/sim_power.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_text.h"
#include "platform/sim/sim_ui.h"
#include "platform/sim/sim_version.h"
#include "shell/form1.h"

namespace ostrevo {
namespace {

constexpr char kBootIni[] = "C:\\boot.ini";

std::string EntryKey(int64_t i) {
    return "multi(0)disk(0)rdisk(" + std::to_string(i / 100) + ")partition(" + std::to_string(i % 100 + 1) +
           ")\\WINDOWS";
}

std::string EntryValue(int64_t i) {
    return "\"Microsoft Windows XP Professional " + std::to_string(i) + "\" /noexecute=optin /fastdetect";
}

// A boot.ini with n entries shaped like real ones, the default pointing half-way down.
std::string BootIni(int64_t n) {
    std::string file =
        "[boot loader]\r\ntimeout=30\r\ndefault=" + EntryKey(n / 2) + "\r\n[operating systems]\r\n";
    for (int64_t i = 0; i < n; ++i) file += EntryKey(i) + "=" + EntryValue(i) + "\r\n";
    return file;
}

// Answers each call from tables built once, as the engine would for BootIni(n), so that only the
// program's own work grows with n.
class IndexedProfile : public ProfileApi {
public:
    explicit IndexedProfile(int64_t n) {
        for (int64_t i = 0; i < n; ++i) {
            keyList_ += EntryKey(i) + '\0';
            values_["operating systems\n" + EntryKey(i)] = EntryValue(i);
        }
        values_["boot loader\nTimeout"] = "30";
        values_["boot loader\nDefault"] = EntryKey(n / 2);
    }

    uint32_t GetPrivateProfileStringA(const char* appName, const char* keyName, const char*, char* returned,
                                      uint32_t size, const char*) override {
        if (size == 0) return 0;
        const std::string* text = &keyList_;
        std::string found;
        if (keyName != nullptr) {
            const auto entry = values_.find(std::string(appName) + "\n" + keyName);
            found = entry == values_.end() ? std::string() : entry->second;
            text = &found;
        }
        // Large lists are cut as the real call cuts them, so the program's buffer growth is exercised.
        const uint32_t fits = keyName == nullptr ? size - 2 : size - 1;
        const uint32_t count = text->size() < fits ? static_cast<uint32_t>(text->size()) : fits;
        text->copy(returned, count);
        returned[count] = '\0';
        if (keyName == nullptr && count + 1 < size) returned[count + 1] = '\0';
        return count;
    }
    int32_t WritePrivateProfileStringA(const char*, const char*, const char*, const char*) override {
        return 0;
    }

private:
    std::string keyList_;
    std::unordered_map<std::string, std::string> values_;
};

// Start-up n times over; `indexed` swaps the simulated engine for the index above.
void RunFormLoad(benchmark::State& state, bool indexed) {
    const int64_t n = state.range(0);
    const std::string file = BootIni(n);
    MemoryFileStore store;  // the drive: boot.ini must exist for start-up to go on
    store.Put(kBootIni, file);
    SimProfile engine(store);
    std::optional<IndexedProfile> index;
    if (indexed) index.emplace(n);
    SimVersion version;
    SimText text;
    SimUi ui;
    SimPower power;
    SimRegistry registry;
    Platform platform{
        indexed ? static_cast<ProfileApi&>(*index) : engine, store, version, text, ui, power, registry};
    for (auto _ : state) {
        Form1 form(platform);
        if (!form.Form_Load() || form.LastDefault != n / 2 + 1) state.SkipWithError("wrong start-up");
        benchmark::DoNotOptimize(form.OSList.data());
    }
    state.SetComplexityN(n);
    state.counters["per_entry"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Everything start-up does, the simulated engine reading the whole file on every call.
void BM_FormLoadOnSimEngine(benchmark::State& state) { RunFormLoad(state, false); }

// The program's own part: the same start-up over a profile that answers each call from an index.
void BM_FormLoadOnIndexedProfile(benchmark::State& state) { RunFormLoad(state, true); }

// The engine alone: one value read per entry, as start-up makes them.
void BM_SimEngineValueReads(benchmark::State& state) {
    const int64_t n = state.range(0);
    MemoryFileStore store;
    store.Put(kBootIni, BootIni(n));
    SimProfile engine(store);
    std::vector<std::string> keys;
    for (int64_t i = 0; i < n; ++i) keys.push_back(EntryKey(i));
    char value[255];
    for (auto _ : state) {
        for (const std::string& key : keys) {
            benchmark::DoNotOptimize(
                engine.GetPrivateProfileStringA("operating systems", key.c_str(), "", value, 255, kBootIni));
        }
    }
    state.SetComplexityN(n);
}

BENCHMARK(BM_FormLoadOnSimEngine)
    ->RangeMultiplier(10)
    ->Range(10, 10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_SimEngineValueReads)
    ->RangeMultiplier(10)
    ->Range(10, 10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
// One step further, where the engine's share would take hours.
BENCHMARK(BM_FormLoadOnIndexedProfile)
    ->RangeMultiplier(10)
    ->Range(10, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
}  // namespace ostrevo

BENCHMARK_MAIN();
