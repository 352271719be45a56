#include "components/common/ComponentError.h"

#include <gtest/gtest.h>

TEST(ComponentError, NumberIsObjectBasePlusCodeAsSigned32Bit)
{
    vx::ComponentError e(1003, "SonvertLib.ConvertToPcm", "Unsupported file format");
    EXPECT_EQ(e.code(), 1003);
    EXPECT_EQ(e.number(), static_cast<std::int32_t>(0x800403EBu));
    EXPECT_LT(e.number(), 0);
    EXPECT_EQ(e.source(), "SonvertLib.ConvertToPcm");
    EXPECT_STREQ(e.what(), "Unsupported file format");
}

TEST(ComponentError, RunTimeErrorsKeepTheirPlainNumber)
{
    vx::ComponentError e(vx::ComponentError::RunTimeError, 53, "LexmoldLib.CompileFile", "File not found");
    EXPECT_EQ(e.number(), 53);
    EXPECT_EQ(e.kind(), vx::ComponentError::RunTimeError);
}
