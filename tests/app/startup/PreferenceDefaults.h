#pragma once

// Every preference and notice flag at the value a first start gives it.

#include "app/Globals.h"
#include "app/startup/Preferences.h"

#include <gtest/gtest.h>

inline void expectPreferenceDefaults()
{
    EXPECT_EQ(Port, 0);
    EXPECT_EQ(BaudRate, 8);
    EXPECT_TRUE(DfltPCMEnc);
    EXPECT_EQ(AudioPlayer, 1);
    EXPECT_EQ(AudioView, 0);
    EXPECT_EQ(AudioDblClk, 0);
    EXPECT_FALSE(GrtCtls);
    EXPECT_TRUE(Highlight);
    EXPECT_TRUE(TblAltColor);
    EXPECT_EQ(DictCharSet, 1);
    EXPECT_EQ(DictSynCk, 0);
    EXPECT_EQ(CommandChar, QStringLiteral("~"));
    EXPECT_TRUE(DisplaySV10Warning);
    EXPECT_TRUE(DisplayCompatQuery);
    EXPECT_EQ(ChipModel, QStringLiteral("SV3420"));
}
