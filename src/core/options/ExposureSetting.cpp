#include "core/options/ExposureSetting.h"

#include "core/common/Failure.h"
#include "core/common/NumberText.h"
#include "core/platform/SettingsStore.h"

namespace {

const QString kApplication = QStringLiteral("Glimmerage");
const QString kSection = QStringLiteral("Settings");
const QString kKey = QStringLiteral("AutoAdjustExposure");
const QString kDefault = QStringLiteral("0");

}  // namespace

QString ReadAutoAdjustExposure(SettingsStore& store) { return store.Read(kApplication, kSection, kKey, kDefault); }

void WriteAutoAdjustExposure(SettingsStore& store, const QString& value) {
    store.Write(kApplication, kSection, kKey, value);
}

bool AutoAdjustExposureIsOn(SettingsStore& store) {
    const QString text = ReadAutoAdjustExposure(store);
    if (!IsNumeric(text)) throw Failure::TypeMismatch();
    return TextValue(text) != 0.0;
}
