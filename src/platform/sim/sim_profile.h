// A file-backed re-implementation of GetPrivateProfileStringA / WritePrivateProfileStringA that
// behaves as Windows does (not as Wine does where the two differ).
#pragma once
#include <string>

#include "platform/profile_api.h"
#include "platform/sim/sim_file_store.h"
#include "platform/sim/sim_text.h"

namespace ostrevo {

class SimProfile : public ProfileApi {
public:
    explicit SimProfile(SimFileStore& store) : store_(store) {}

    uint32_t GetPrivateProfileStringA(const char* appName, const char* keyName, const char* defaultText,
                                      char* returned, uint32_t size, const char* fileName) override;
    int32_t WritePrivateProfileStringA(const char* appName, const char* keyName, const char* text,
                                       const char* fileName) override;

private:
    // The file as text (ANSI through Windows-1252, or UTF-16 after a byte-order mark) and back.
    std::wstring Decode(const std::string& bytes, bool* utf16);
    std::string Encode(const std::wstring& text, bool utf16);

    SimFileStore& store_;
    SimText text_;
};

}  // namespace ostrevo
