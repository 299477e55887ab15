#pragma once

#include <QString>

// The texts of the two About windows, line breaks as CR LF pairs.
namespace AboutTexts {

QString GlimmerageDescription();
QString OmbravonDescription();
QString RedistributionNote();
QString GlimmerageVersion();
QString OmbravonVersion();

}  // namespace AboutTexts
