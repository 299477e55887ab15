#include "core/options/ExposureSetting.h"
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
