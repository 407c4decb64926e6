#pragma once

#include "shared/platform/programstarter.h"

#include <QObject>
#include <QString>

#include <optional>

// The capture program that the "Snarell" items start. Starting a process
// for every pick costs the user a quarter of a second or more (the
// libraries, the display, the fonts, a cold first capture), so each of the
// pair keeps one instance of it waiting in the background, windowless, and
// hands it the pick; it ends once neither of the pair runs any longer.
namespace capturecompanion {

inline constexpr char kProgram[] = "Derudovudi";
// The argument that starts it waiting, followed by the starter's process id.
inline constexpr char kWaitArgument[] = "--wait";

// What the waiting instance is asked: to pick now, or only to keep waiting
// for one more program, whose process id comes with either.
enum class Ask { Pick, Serve };
struct Request {
    Ask ask = Ask::Serve;
    ProgramStarter::Show show = ProgramStarter::Show::Normal;
    qint64 client = 0; // 0: a start of its own that ends at once
};
QString format(const Request& request);
std::optional<Request> parse(const QString& text);

// A few seconds from now, once this program's own window is up: has the
// waiting instance serve this process too, or starts one.
void prepareSoon(ProgramStarter& starter);

// "Snarell": the waiting instance shows its picker at once; without one the
// program is started as a normal start would.
void pick(ProgramStarter& starter, ProgramStarter::Show show);
// "Snarell" from a menu that has just closed: the caller has painted its
// own windows again; the pick is asked for once they are on the screen and
// other programs' windows under the menu have had a moment to paint too,
// so that the waiting instance's picture never holds the menu. Nothing is
// asked once `context` has gone.
void pickAfterMenu(ProgramStarter& starter, ProgramStarter::Show show, QObject* context);

} // namespace capturecompanion
