#pragma once

#include <QString>
#include <QStringList>

// What a second start of the magnifier tells the user before it ends.
namespace startup {
QStringList secondInstancePieces();
// The pieces, each but the last followed by two line breaks.
QString secondInstanceText();
QString secondInstanceTitle();

// Runs the magnifier; returns the process exit code.
int runMagnifier(int argc, char** argv);
} // namespace startup
