#pragma once

#include <QString>

// The per-user settings store: a persistent map from (application, section, key) to text.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or `fallback` when the key is absent.
    virtual QString Read(const QString& application, const QString& section, const QString& key,
                         const QString& fallback) = 0;
    // Throws a Failure when the text cannot be stored for later runs.
    virtual void Write(const QString& application, const QString& section, const QString& key,
                       const QString& value) = 0;
};
