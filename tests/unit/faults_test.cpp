// What the scenarios cannot stage: a profile whose answers never fit.
#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"
#include "util/profile_read.h"

namespace ostrevo {
namespace {

// Every answer fills the buffer, as a list always too large would: the reads grow to a cap and stop.
struct AlwaysCut : SimDisk {
    uint32_t GetPrivateProfileStringA(const char*, const char*, const char*, char* out, uint32_t size,
                                      const char*) override {
        sizes.push_back(size);
        std::fill(out, out + size, '\0');
        return size - 2;
    }
    std::vector<uint32_t> sizes;
};

TEST(FaultsTest, AListThatNeverFitsIsReadUpToACapAndReportedCut) {
    AlwaysCut cut;
    const ProfileText list = ReadWhole(cut, "s", nullptr, "", "x", 512);
    EXPECT_FALSE(list.whole);
    ASSERT_EQ(cut.sizes.size(), 18u);
    for (size_t i = 0; i < cut.sizes.size(); ++i) EXPECT_EQ(cut.sizes[i], 512u << i);
    EXPECT_EQ(list.text.size(), (1u << 26) - 2);
}

}  // namespace
}  // namespace ostrevo
