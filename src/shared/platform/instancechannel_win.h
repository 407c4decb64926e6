#pragma once

#include <QString>

// The Windows channel is a named pipe rather than a file at the channel's
// path; tests reach it as a hostile or broken peer would.
namespace instancechannel {

// The pipe that stands for the channel at `path`, "\\.\pipe\...": the same
// for every process of this user in this session, another for any other
// user or session. Empty when the user cannot be told.
QString pipeName(const QString& path);

} // namespace instancechannel
