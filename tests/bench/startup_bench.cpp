// Start-up time against the number of boot entries: the whole of Form_Load on the simulated engine
// (answering from its index of the file, in memory and on the simulated drive, and scanning the file
// on every call for comparison), the engine's value reads alone, and the program's own part over a
// profile answered from a table made in advance.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "memory_file_store.h"
#include "platform/sim/sim_disk.h"
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
    ErrorCode LastWriteError() override { return kErrorSuccess; }

private:
    std::string keyList_;
    std::unordered_map<std::string, std::string> values_;
};

enum class Profile { kEngine, kScanningEngine, kTable };

// Start-up n times over a drive holding BootIni(n), whose stamp never moves: nothing writes.
template <typename Drive>
void RunFormLoad(benchmark::State& state, Drive& drive, Profile kind) {
    const int64_t n = state.range(0);
    std::optional<IndexedProfile> table;
    if (kind == Profile::kTable) table.emplace(n);
    SimVersion version;
    SimText text;
    SimUi ui;
    SimPower power;
    SimRegistry registry;
    for (auto _ : state) {
        // A new engine each time, as in a new process: its index is part of what start-up costs.
        SimProfile engine(drive, kind == Profile::kScanningEngine
                                     ? SimProfile::Caching::kNever
                                     : SimProfile::Caching::kWhenTheStoreVouches);
        ProfileApi& profile = table ? static_cast<ProfileApi&>(*table) : engine;
        Platform platform{profile, drive, version, text, ui, power, registry};
        Form1 form(platform);
        if (!form.Form_Load() || form.LastDefault != n / 2 + 1) state.SkipWithError("wrong start-up");
        benchmark::DoNotOptimize(form.OSList.data());
    }
    state.SetComplexityN(n);
    state.counters["per_entry"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void RunFormLoadInMemory(benchmark::State& state, Profile kind) {
    MemoryFileStore store;  // boot.ini must exist for start-up to go on
    store.Put(kBootIni, BootIni(state.range(0)));
    RunFormLoad(state, store, kind);
}

// Everything start-up does, on the simulated engine with the file in memory.
void BM_FormLoadOnSimEngine(benchmark::State& state) { RunFormLoadInMemory(state, Profile::kEngine); }

// The same on the simulated drive C:, a host folder, as the unit tests run it.
void BM_FormLoadOnSimDisk(benchmark::State& state) {
    std::random_device seed;
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("ostrevo-bench-" + std::to_string(seed()));
    std::filesystem::create_directories(root);
    {
        SimDisk disk(root.string());
        disk.PutFile(kBootIni, BootIni(state.range(0)));
        RunFormLoad(state, disk, Profile::kEngine);
    }
    std::filesystem::remove_all(root);
}

// For comparison: the engine reading and scanning the whole file on every call, as it did before
// it kept an index; quadratic, so it stops early.
void BM_FormLoadOnScanningEngine(benchmark::State& state) {
    RunFormLoadInMemory(state, Profile::kScanningEngine);
}

// The program's own part: the same start-up over a profile that answers each call from a table.
void BM_FormLoadOnIndexedProfile(benchmark::State& state) { RunFormLoadInMemory(state, Profile::kTable); }

// The engine alone: one value read per entry, as start-up makes them.
void BM_SimEngineValueReads(benchmark::State& state) {
    const int64_t n = state.range(0);
    MemoryFileStore store;
    store.Put(kBootIni, BootIni(n));
    std::vector<std::string> keys;
    for (int64_t i = 0; i < n; ++i) keys.push_back(EntryKey(i));
    char value[255];
    for (auto _ : state) {
        SimProfile engine(store);  // the first read builds the index, as at start-up
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
BENCHMARK(BM_FormLoadOnSimDisk)
    ->RangeMultiplier(10)
    ->Range(10, 10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_FormLoadOnScanningEngine)
    ->RangeMultiplier(10)
    ->Range(10, 1000)
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
