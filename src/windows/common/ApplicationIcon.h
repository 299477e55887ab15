#pragma once

#include <QIcon>

// The glowing light bulb, in every size the program ships.
QIcon ApplicationIcon();
