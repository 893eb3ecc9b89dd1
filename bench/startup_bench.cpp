// Start-up time against the number of boot entries: the whole of Form_Load over a profile answered
// from a table made in advance, so that what grows is the program's own work.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/sim/sim_platform.h"
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

// Answers each call from tables built once, as for a boot.ini of n entries shaped like real ones with
// the default half-way down, so that only the program's own work grows with n.
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

void BM_FormLoad(benchmark::State& state) {
    const int64_t n = state.range(0);
    TestPlatform p;
    p.disk.Put(kBootIni, "");  // only for the existence test
    IndexedProfile table(n);
    Platform platform{table, p.disk, p.version, p.text, p.ui, p.power, p.registry, p.registry};
    for (auto _ : state) {
        Form1 form(platform);
        if (!form.Form_Load() || form.LastDefault != n / 2 + 1) state.SkipWithError("wrong start-up");
        benchmark::DoNotOptimize(form.OSList.data());
    }
    state.SetComplexityN(n);
    state.counters["per_entry"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_FormLoad)->RangeMultiplier(10)->Range(10, 10000)->Complexity();

}  // namespace
}  // namespace ostrevo

BENCHMARK_MAIN();
