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

// The running instance's reply when it acts on a request itself, and when
// it leaves the later start to show the hint box.
inline constexpr char kTaken[] = "ok";
inline constexpr char kShowHint[] = "hint";

// Whether `argument` is among the program's arguments; readable before
// any application object exists.
bool hasArgument(int argc, char** argv, const char* argument);

// Hands `request` to the running instance of `programName`, before this
// start connects to the display or loads a font: true when the instance
// took it (kTaken) and this start has nothing left to do.
bool forwardToRunning(const QString& programName, const QString& request);
// Ends a start whose request the running instance took: at once, without
// the libraries' exit handlers, which would only take the processor from
// the instance that is drawing the view.
[[noreturn]] void endForwardedStart();

// The box's text when the lock cannot be taken at all.
QString lockFailureText(const QString& programName, const QString& failure);

// True when this is the only instance; otherwise shows, with its warning
// icon, the hint box (another instance runs) or why the program cannot
// start, and returns false once the user has closed it.
bool claimOnlyInstance(SingleInstance& instance, const QString& title, const QString& text);

} // namespace programstart
