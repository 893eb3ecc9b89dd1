// A file-backed re-implementation of GetPrivateProfileStringA / WritePrivateProfileStringA that
// behaves as Windows does (not as Wine does where the two differ).
#pragma once
#include <memory>
#include <string>

#include "platform/profile_api.h"
#include "platform/sim/sim_file_store.h"
#include "platform/sim/sim_text.h"

namespace ostrevo {

class SimProfile : public ProfileApi {
public:
    // Reads may answer from the file as an earlier call decoded and indexed it, as long as the
    // store vouches that it has not changed since; kNever reads and scans the file on every call.
    enum class Caching { kWhenTheStoreVouches, kNever };

    explicit SimProfile(SimFileStore& store, Caching caching = Caching::kWhenTheStoreVouches);
    ~SimProfile() override;
    SimProfile(const SimProfile&) = delete;
    SimProfile& operator=(const SimProfile&) = delete;

    uint32_t GetPrivateProfileStringA(const char* appName, const char* keyName, const char* defaultText,
                                      char* returned, uint32_t size, const char* fileName) override;
    int32_t WritePrivateProfileStringA(const char* appName, const char* keyName, const char* text,
                                       const char* fileName) override;
    ErrorCode LastWriteError() override { return lastWriteError_; }

private:
    class Index;

    // The file as text (ANSI through Windows-1252, or UTF-16 after a byte-order mark) and back.
    std::wstring Decode(const std::string& bytes, bool* utf16);
    std::string Encode(const std::wstring& text, bool utf16);
    // The index of the file as it is now, or nullptr when the store cannot vouch for one.
    Index* CurrentIndex(const char* fileName);

    SimFileStore& store_;
    const Caching caching_;
    SimText text_;
    std::unique_ptr<Index> cache_;  // one file: start-up reads one file many times
    ErrorCode lastWriteError_ = kErrorSuccess;
};

}  // namespace ostrevo
