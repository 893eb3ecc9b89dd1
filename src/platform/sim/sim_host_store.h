// Whole-file storage on the real file system, so that the simulated profile engine can be run on
// Windows beside the real functions on the same kind of file.
#pragma once
#include "platform/sim/sim_file_store.h"

namespace ostrevo {

class SimHostStore : public SimFileStore {
public:
    // Paths are handed to the C library as they are.
    std::optional<std::string> Read(const std::string& path) override;
    uint32_t Write(const std::string& path, const std::string& bytes) override;
};

}  // namespace ostrevo
