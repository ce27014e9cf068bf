#include <gtest/gtest.h>

#include <tesra/SystemInfo.h>

#include "system/SystemLocale.h"

TEST(SystemInfo, DescribesThisMachine)
{
    const tesra::SystemInfo info = tesra::getSystemInfo();
    EXPECT_EQ(info.name, "Linux");
    EXPECT_GE(info.osVersion, 2.0f);
    EXPECT_GT(info.ram, 0);
    EXPECT_GT(info.displayResolution.x, 0.0f); // the headless display has a mode too
}

TEST(SystemInfo, LocaleNamesFollowTheLanguageRules)
{
    auto locale = [](const char* text) { return tesra::parseLocale(text).locale; };
    EXPECT_EQ(locale("pt_BR.UTF-8"), "pt");
    EXPECT_EQ(tesra::parseLocale("pt_BR.UTF-8").variant, "BR");
    EXPECT_EQ(locale("pt_PT.UTF-8@euro"), "pt-PT");
    EXPECT_EQ(locale("zh_TW.UTF-8"), "zh-Hant");
    EXPECT_EQ(locale("zh_CN.UTF-8"), "zh");
    EXPECT_EQ(tesra::parseLocale("DE_de").variant, "DE");
    EXPECT_EQ(locale("POSIX"), "en");
    EXPECT_EQ(locale("C.UTF-8"), "en");
}
