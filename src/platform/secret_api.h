// The LSA's private data (its "secrets"), where Windows XP and later keep the automatic-logon password.
#pragma once
#include <string>

#include "platform/errors.h"

namespace ostrevo {

class SecretApi {
public:
    virtual ~SecretApi() = default;
    // Stores `value` as the secret `name`, or deletes that secret when `value` is null: the local policy
    // opened for creating secrets, one LsaStorePrivateData, the policy closed. On failure the system's
    // reason (LsaNtStatusToWinError); kErrorFileNotFound for a secret that was not there to delete.
    virtual ErrorCode StoreSecret(const std::wstring& name, const std::wstring* value) = 0;
};

}  // namespace ostrevo
