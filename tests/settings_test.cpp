#include "core/options/ExposureSetting.h"
#include "windows/platform/QtPlatform.h"
#include "support/TestSupport.h"

TEST(SettingsStore, ExposureIsOnForAnyNumberButZero) {
    ScriptedSettingsStore store;
    EXPECT_FALSE(AutoAdjustExposureIsOn(store));  // nothing stored
    for (const auto& [text, on] : {std::pair("0", false), {"1", true}, {"2", true}, {" 0 ", false}, {"0.5", true}}) {
        WriteAutoAdjustExposure(store, text);
        EXPECT_EQ(AutoAdjustExposureIsOn(store), on) << text;
    }
    WriteAutoAdjustExposure(store, "abc");
    EXPECT_THROW(AutoAdjustExposureIsOn(store), Failure);
}

TEST(SettingsStore, TheQtStoreKeepsTextsInTheUsersConfigFile) {
    // The test runner points the configuration folder at a temporary one.
    QFile file(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Glimmerage/Glimmerage.conf");
    file.remove();
    QtSettingsStore store;
    EXPECT_EQ(ReadAutoAdjustExposure(store), "0");
    WriteAutoAdjustExposure(store, "1");
    QtSettingsStore later;
    EXPECT_EQ(ReadAutoAdjustExposure(later), "1");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName();
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[Settings]\nAutoAdjustExposure=1")) << text.toStdString();
    file.remove();
}
