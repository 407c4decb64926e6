#pragma once

#include "shared/programstart.h"

#include <QString>
#include <QStringList>

// What a second start of the region magnifier tells the user before it ends.
namespace regionstart {
QStringList regionSecondInstancePieces();
// The pieces, each but the last followed by two line breaks.
QString regionSecondInstanceText();
QString regionSecondInstanceTitle();

// Runs the region magnifier; returns the process exit code.
int runRegion(int argc, char** argv,
              programstart::Handover handover = programstart::Handover::Pending);
} // namespace regionstart
