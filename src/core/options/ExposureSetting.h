#pragma once

#include <QString>

class SettingsStore;

// The program's one persisted preference: whether automatic exposure adjustment is on.
// It is read afresh at every use, so a change made in the options takes effect at once.

// The stored text read as a number: anything but 0 is on; nothing stored is off. A stored
// text that is not a number throws "Type mismatch".
bool AutoAdjustExposureIsOn(SettingsStore& store);

// The stored text as it is, "0" when nothing is stored.
QString ReadAutoAdjustExposure(SettingsStore& store);
void WriteAutoAdjustExposure(SettingsStore& store, const QString& value);
