#pragma once

#include "shared/startrequest.h"

#include <QString>
#include <QStringList>

#include <functional>

class SingleInstance;
class SystemServices;

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

// Runs the application's event loop and returns its exit code; 0 at once
// when a request to terminate came during the start, which the loop,
// starting afresh, would never see.
int exec();

// The box's text when the lock cannot be taken at all.
QString lockFailureText(const QString& programName, const QString& failure);

// True when this is the only instance; otherwise shows, with its warning
// icon, the hint box (another instance runs) or why the program cannot
// start, and returns false once the user has closed it.
bool claimOnlyInstance(SingleInstance& instance, const QString& title, const QString& text);

// zuz or Zonara as its start sees it.
struct Program {
    QString name;
    // What this start hands a running instance; null hands nothing over.
    const char* request;
    // The hint box a later start shows; asked for once the interface's
    // language is loaded.
    QString (*busyTitle)();
    QString (*busyText)();
};

// Runs a program: hands this start's request to a running instance, or
// becomes the one instance and calls `open`, which shows the windows,
// answers later starts through `instance` and returns the event loop's
// exit code. The capture program stands ready a while after.
int run(const Program& program, int argc, char** argv, Handover handover,
        const std::function<int(SystemServices& system, SingleInstance& instance)>& open);

} // namespace programstart
