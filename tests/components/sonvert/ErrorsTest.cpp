#include "components/common/ComponentError.h"
#include "components/sonvert/Errors.h"

#include <gtest/gtest.h>

using namespace sonvert;

TEST(SonvertErrors, EveryCodeHasItsText)
{
    for (int code = kFirstError; code <= kLastError; ++code)
        for (auto m : {Method::ConvertToPcm, Method::CompressPcmFile, Method::ConvertToWav})
            EXPECT_FALSE(errorDescription(code, m).empty()) << code;
    EXPECT_TRUE(errorDescription(999, Method::ConvertToPcm).empty());
    EXPECT_TRUE(errorDescription(1006, Method::ConvertToWav).empty());

    EXPECT_EQ(errorDescription(1000, Method::ConvertToPcm), "Tag value must be between 0 and 65534.");
    EXPECT_EQ(errorDescription(1001, Method::ConvertToWav), "Directory specified by TargetPath does not exist.");
    EXPECT_EQ(errorDescription(1002, Method::CompressPcmFile), "Source file not found.");
    EXPECT_EQ(errorDescription(1003, Method::ConvertToPcm), "Sound file format invalid or not supported.");
    EXPECT_EQ(errorDescription(1003, Method::CompressPcmFile), "Invalid or corrupt pcm file.");
    EXPECT_EQ(errorDescription(1003, Method::ConvertToWav), "Invalid or corrupt pcm file.");
    EXPECT_EQ(errorDescription(1004, Method::ConvertToPcm),
              "MP3 decoder component missing. Reinstall the application.");
    EXPECT_EQ(errorDescription(1005, Method::ConvertToWav), "Process terminated by user.");
}

TEST(SonvertErrors, RaisedWithNumberSourceAndText)
{
    try {
        raiseError(emrUserCanceled, Method::CompressPcmFile);
        FAIL() << "no exception";
    } catch (const vx::ComponentError &e) {
        EXPECT_EQ(e.code(), 1005);
        EXPECT_EQ(e.number(), static_cast<std::int32_t>(0x800403EDu));
        EXPECT_EQ(e.source(), "SonvertLib.CompressPcmFile");
        EXPECT_STREQ(e.what(), "Process terminated by user.");
    }
    try {
        raiseError(emrTagOutOfBounds, Method::ConvertToPcm);
        FAIL() << "no exception";
    } catch (const vx::ComponentError &e) {
        EXPECT_EQ(e.number(), static_cast<std::int32_t>(0x800403E8u));
        EXPECT_EQ(e.source(), "SonvertLib.ConvertToPcm");
    }
    EXPECT_EQ(errorSource(Method::ConvertToWav), "SonvertLib.ConvertToWav");
}
