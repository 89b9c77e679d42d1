#include "media/uMediaTypes.h"

#include <gtest/gtest.h>

TEST(MediaTypes, Placeholder)
{
    EXPECT_EQ(FourCCText(0x64737664).toStdString(), "dvsd");
}
