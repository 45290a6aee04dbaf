#include <gtest/gtest.h>

#include "app/SingleInstance.h"

namespace veltrane {
namespace {

TEST(AnotherCopyRuns, ExistingOrRefusedMutexMeansRunning) {
    EXPECT_FALSE(AnotherCopyRuns(true, 0));                    // created: the first copy
    EXPECT_TRUE(AnotherCopyRuns(true, kErrorAlreadyExists));   // opened: a copy runs
    EXPECT_TRUE(AnotherCopyRuns(false, kErrorAccessDenied));   // held by a copy with other rights
    EXPECT_FALSE(AnotherCopyRuns(false, 8));                   // out of memory: start anyway
    EXPECT_FALSE(AnotherCopyRuns(false, kErrorAlreadyExists)); // no handle: nothing to go by
}

} // namespace
} // namespace veltrane
