#pragma once

// A request to terminate (SIGTERM from the session or a test, Ctrl+C in a
// terminal) ends the event loop, so the program ends the ordinary way: its
// windows and tray icon go, its lock is given back and its memory freed.
namespace termination {

// Call once, with the application object in place.
void quitOnRequest();

// Whether a request to terminate has come since quitOnRequest. Ending the
// loops that run answers a request only while one runs: a start that waits
// for its first picture in a loop of its own would go on to the program's
// event loop, which starts afresh, and the request would be lost. Waits of
// their own and the step into the event loop ask this instead.
bool requested();

} // namespace termination
