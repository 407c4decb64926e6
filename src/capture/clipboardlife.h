#pragma once

// Whether the clipboard's content stays pasteable after the program that
// put it there has ended: the system keeps it (Windows), or a clipboard
// manager is there to take it over at the program's exit (X11). Otherwise
// the owner has to stay until another program takes the clipboard.
namespace clipboardlife {
bool outlivesOwner();
// Called just before the program ends when outlivesOwner(): gives the
// content to whoever keeps it from now on.
void handOver();
} // namespace clipboardlife
