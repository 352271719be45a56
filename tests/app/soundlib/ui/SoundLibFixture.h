#pragma once

// Sound library windows on their own: C locale for the numbers shown, a clean
// program state, and the sound library registered as a document kind.

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/soundlib/ui/frmSoundLib.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace soundtest {

class SoundLibFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        ResetGlobals();
        ResetDocuments();
        DocState.resize(2);
        RegisterSoundLibDocuments();
    }
    void TearDown() override
    {
        ResetDocuments();
        DocState.clear();
    }
};

} // namespace soundtest
