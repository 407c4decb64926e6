#pragma once

#include "startrequest.h"

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
inline constexpr const char* kTaken = startrequest::kTaken;
inline constexpr const char* kShowHint = startrequest::kShowHint;

// Whether this start's request still has to be handed to a running
// instance, or its launcher has done so already (and the instance did not
// take it, or none runs).
enum class Handover { Pending, Done };

// Hands `request` to the running instance of `programName`, before this
// start connects to the display or loads a font: true when the instance
// took it (kTaken) and this start has nothing left to do. A null request
// hands nothing over.
bool forwardToRunning(const QString& programName, const char* request);
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
