// Assertion lines name the file as the source tree does, wherever the tree
// was built.
#include "engine/base/debuglog.h"

#include <gtest/gtest.h>

#include <string>

TEST(SourcePath, AnAssertionLineNamesTheFileRelativeToTheSourceTree)
{
    testing::internal::CaptureStderr();
    QM_ASSERT(1 == 2);
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("FAILED!! tests/base/sourcepath_test.cpp, "), std::string::npos) << out;
}
