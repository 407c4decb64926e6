#pragma once

#include <QString>
#include <QStringList>

class SingleInstance;

// What every program of the pair does before its main window loads.
namespace programstart {

// Names the application and keeps it running while its windows are hidden:
// each program ends by its own menu, or when asked to terminate.
void prepare(const QString& programName);

// What a second start of either program tells the user before it ends.
QStringList secondInstancePieces();

// A hint box's text: the pieces, each but the last followed by a blank line.
QString joinPieces(const QStringList& pieces);

// True when this is the only instance; otherwise shows the hint box with
// its warning icon and returns false once the user has closed it.
bool claimOnlyInstance(SingleInstance& instance, const QString& title, const QString& text);

// Like claimOnlyInstance, but a start with `request` among its arguments
// hands the request to the running instance instead of showing the box.
bool claimOrForward(SingleInstance& instance, const QString& request, const QString& title,
                    const QString& text);

} // namespace programstart
