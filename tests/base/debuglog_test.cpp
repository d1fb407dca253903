#include "engine/base/debuglog.h"

#include <gtest/gtest.h>

#include <string>

TEST(DebugLog, WritesLongLinesWhole)
{
    std::string big(6000, 'q');
    testing::internal::CaptureStderr();
    WriteDbg("<%s>", big.c_str());
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "<" + big + ">\n");
}

TEST(DebugLog, AssertLogsAndGoesOn)
{
    testing::internal::CaptureStderr();
    int reached = 0;
    QM_ASSERT(1 == 2);
    reached = 1;
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(reached, 1);
    EXPECT_NE(out.find("ASSERT(1 == 2) FAILED!! "), std::string::npos);
}
