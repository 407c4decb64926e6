#pragma once

#include "shared/programstart.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class Frmpictd;

// What a second start of the magnifier tells the user before it ends.
namespace magnifierstart {
QStringList secondInstancePieces();
// The pieces, each but the last followed by two line breaks.
QString secondInstanceText();
QString secondInstanceTitle();

// What a later start hands the running instance: "--view" asks for a
// view, as the hotkey does; "start" is a start without arguments.
QString viewRequest();
QString startRequest();
// The running instance's answer to a later start's request: a view (and
// the reply that this start has nothing left to do), or the reply that
// the later start is to show the hint box.
QByteArray answerRequest(Frmpictd& form, const QString& request);

// Runs the magnifier; returns the process exit code.
int runMagnifier(int argc, char** argv,
                 programstart::Handover handover = programstart::Handover::Pending);
} // namespace magnifierstart
