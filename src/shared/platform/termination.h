#pragma once

// A request to terminate (SIGTERM from the session or a test, Ctrl+C in a
// terminal) ends the event loop, so the program ends the ordinary way: its
// windows and tray icon go, its lock is given back and its memory freed.
namespace termination {

// Call once, with the application object in place.
void quitOnRequest();

} // namespace termination
