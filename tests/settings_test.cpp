#include "options/ExposureSetting.h"
#include "platform/qt/QtPlatform.h"
#include "platform/scripted/ScriptedPlatform.h"

#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

TEST(SettingsStore, ExposureIsOnForAnyNumberButZero) {
    ScriptedSettingsStore store;
    EXPECT_FALSE(AutoAdjustExposureIsOn(store));  // nothing stored
    const std::pair<const char*, bool> cases[] = {{"0", false}, {"1", true}, {"2", true}, {" 0 ", false}, {"0.5", true}};
    for (const auto& [text, on] : cases) {
        WriteAutoAdjustExposure(store, text);
        EXPECT_EQ(AutoAdjustExposureIsOn(store), on) << text;
    }
    WriteAutoAdjustExposure(store, "abc");
    EXPECT_THROW(AutoAdjustExposureIsOn(store), Failure);
}

TEST(SettingsStore, TheQtStoreKeepsTextsInTheUsersConfigFile) {
    // The test runner points the configuration folder at a temporary one.
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         "/Glimmerage/Glimmerage.conf";
    QFile::remove(file);
    QtSettingsStore store;
    EXPECT_EQ(ReadAutoAdjustExposure(store), "0");
    WriteAutoAdjustExposure(store, "1");
    QtSettingsStore later;
    EXPECT_EQ(ReadAutoAdjustExposure(later), "1");
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << file.toStdString();
    const QByteArray text = written.readAll();
    EXPECT_TRUE(text.contains("[Settings]\nAutoAdjustExposure=1")) << text.toStdString();
    QFile::remove(file);
}
