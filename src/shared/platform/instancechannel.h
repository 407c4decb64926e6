#pragma once

#include "shared/instanceaddress.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// The channel between a later start of a program and its running
// instance, named by a path in the user's own folder: the instance listens
// there, and a later start hands it one request, a line of text, and reads
// one line back.
namespace instancechannel {

// The folder where a program keeps its lock and its channel: one that
// only this user can enter, so that no other account can plant a lock
// that keeps the program from starting, nor a channel that listens to its
// requests. Empty when there is none, with the reason in `why`.
QString privateFolder(QString* why = nullptr);

// The session this process belongs to, as the names of lock and channel in
// `folder` carry it: one instance runs per session. Empty where the
// process has none (no display).
QByteArray session(const QString& folder);

constexpr int kMaxRequest = instanceaddress::kMaxRequest;
constexpr int kDeadlineMs = instanceaddress::kDeadlineMs;
// Requests served at once; further peers are turned away until one ends.
constexpr int kMaxPeers = 8;

// The instance's answer to one request; what goes back as the reply line.
using Handler = std::function<QByteArray(const QString& request)>;

// Listens at `path` for as long as the returned object lives; null where
// there is no such channel.
std::unique_ptr<QObject> listen(const QString& path, Handler onRequest);

// What a start lends the instance it hands a request to: where the system
// lets only the program the user acts on bring a window to the front,
// that right, to that instance alone.
enum class Lend { Nothing, Foreground };

// Hands `request` to the instance listening at `path` and returns its
// reply; empty when no instance took it. Needs no application object, so
// that a start that only forwards a request stays light.
QByteArray send(const QString& path, const QString& request, Lend lend = Lend::Nothing);

} // namespace instancechannel
