// The LSA's private data through advapi32, looked up at run time.
#pragma once
#include "platform/secret_api.h"

namespace ostrevo {

class Win32Secrets : public SecretApi {
public:
    ErrorCode StoreSecret(const std::wstring& name, const std::wstring* value) override;
};

}  // namespace ostrevo
