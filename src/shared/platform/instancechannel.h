#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// The channel between a later start of a program and its running
// instance, named by a path in the user's own folder: the instance listens
// there, and a later start hands it one request, a line of text.
namespace instancechannel {

// Listens at `path` for as long as the returned object lives; null where
// there is no such channel.
std::unique_ptr<QObject> listen(const QString& path,
                                std::function<void(const QString& request)> onRequest);

// True when the instance listening at `path` took the request.
bool send(const QString& path, const QString& request);

} // namespace instancechannel
