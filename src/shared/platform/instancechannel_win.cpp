// The channel over a named pipe of the user's alone.
//
// Pipe names are one namespace for the whole machine, so the name carries
// the user's SID, the session and a digest of a secret that only the user
// can read, so that no other account can make a pipe of that name first;
// what keeps others out of the user's own pipe is the pipe's
// own security: a DACL for this user (and the system) only, this user as
// its owner, no remote clients, and the first instance made exclusively,
// so that a name another account made first is never joined. A later
// start talks only to a pipe whose owner is this user.
//
// The server never blocks its thread: every instance of the pipe waits
// with overlapped I/O on an event that a QWinEventNotifier watches, so the
// handler runs on the listener's thread and a silent peer holds one
// instance until its deadline, no more.
#include "shared/platform/instancechannel_win.h"
#include "shared/platform/instancechannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QTimer>
#include <QWinEventNotifier>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <vector>

namespace instancechannel {

namespace {

// Who this process runs as: the SID that names and guards the pipe, and
// the session it runs in.
struct Identity {
    std::vector<BYTE> user;
    std::vector<BYTE> system;
    QString text;
    DWORD session = 0;
    PSID sid() const { return PSID(const_cast<BYTE*>(user.data())); }
    bool valid() const { return !user.empty(); }
};

Identity findIdentity() {
    Identity id;
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return id;
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    const bool read =
        size > 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
    ::CloseHandle(token);
    if (!read) return id;
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    LPWSTR text = nullptr;
    if (!::IsValidSid(sid) || !::ConvertSidToStringSidW(sid, &text)) return id;
    id.text = QString::fromWCharArray(text);
    ::LocalFree(text);
    DWORD systemSize = SECURITY_MAX_SID_SIZE;
    id.system.resize(systemSize);
    if (!::CreateWellKnownSid(WinLocalSystemSid, nullptr, id.system.data(), &systemSize))
        id.system.clear();
    if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &id.session)) id.session = 0;
    const auto* begin = static_cast<const BYTE*>(sid);
    id.user.assign(begin, begin + ::GetLengthSid(sid));
    return id;
}

const Identity& identity() {
    static const Identity id = findIdentity();
    return id;
}

std::wstring wide(const QString& s) {
    return s.toStdWString();
}

// The pipe's security: this user owns it and alone may open it or add
// instances to it; the system too, as it may anything of the user's.
class PipeSecurity {
  public:
    explicit PipeSecurity(const Identity& id) {
        std::vector<PSID> sids{id.sid()};
        if (!id.system.empty()) sids.push_back(PSID(const_cast<BYTE*>(id.system.data())));
        DWORD size = sizeof(ACL);
        for (PSID sid : sids)
            size += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(sid);
        m_acl.resize(size);
        auto* acl = reinterpret_cast<PACL>(m_acl.data());
        m_ok = ::InitializeAcl(acl, size, ACL_REVISION) &&
               ::InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION) &&
               ::SetSecurityDescriptorOwner(&m_descriptor, id.sid(), FALSE) &&
               ::SetSecurityDescriptorDacl(&m_descriptor, TRUE, acl, FALSE);
        for (PSID sid : sids)
            m_ok = m_ok && ::AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, sid);
        m_attributes.nLength = sizeof m_attributes;
        m_attributes.lpSecurityDescriptor = &m_descriptor;
        m_attributes.bInheritHandle = FALSE;
    }
    PipeSecurity(const PipeSecurity&) = delete;
    PipeSecurity& operator=(const PipeSecurity&) = delete;
    SECURITY_ATTRIBUTES* attributes() { return m_ok ? &m_attributes : nullptr; }

  private:
    std::vector<BYTE> m_acl;
    SECURITY_DESCRIPTOR m_descriptor{};
    SECURITY_ATTRIBUTES m_attributes{};
    bool m_ok = false;
};

constexpr DWORD kBufferSize = 512;

// One instance of the pipe, taking one peer after another: connect, read
// one line, answer it, wait for the peer to hang up.
class PipeInstance : public QObject {
  public:
    PipeInstance(HANDLE pipe, const Handler& handler, QObject* parent)
        : QObject(parent), m_pipe(pipe), m_event(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_handler(handler), m_notifier(m_event) {
        connect(&m_notifier, &QWinEventNotifier::activated, this, &PipeInstance::onEvent);
        m_deadline.setSingleShot(true);
        m_deadline.setInterval(kDeadlineMs);
        connect(&m_deadline, &QTimer::timeout, this, &PipeInstance::nextPeer);
        // A peer that came and went before it was taken: try again soon
        // rather than spin.
        m_retry.setSingleShot(true);
        m_retry.setInterval(100);
        connect(&m_retry, &QTimer::timeout, this, &PipeInstance::accept);
        accept();
    }

    ~PipeInstance() override {
        m_notifier.setEnabled(false);
        cancel();
        ::DisconnectNamedPipe(m_pipe);
        ::CloseHandle(m_pipe);
        ::CloseHandle(m_event);
    }

  private:
    enum class Phase { Idle, Connecting, Reading, Answering, Writing, AwaitingHangUp };

    // The next operation on the pipe; its end signals the event, also when
    // it ends at once.
    bool started(BOOL done) {
        if (done) ::SetEvent(m_event);
        if (done || ::GetLastError() == ERROR_IO_PENDING) return true;
        // Refused at once: nothing will signal its end.
        m_phase = Phase::Idle;
        return false;
    }

    bool waiting() const { return m_phase != Phase::Idle && m_phase != Phase::Answering; }

    void freshOverlapped() {
        m_overlapped = OVERLAPPED{};
        m_overlapped.hEvent = m_event;
    }

    void accept() {
        m_request.clear();
        freshOverlapped();
        const BOOL done = ::ConnectNamedPipe(m_pipe, &m_overlapped);
        const DWORD error = done ? ERROR_SUCCESS : ::GetLastError();
        m_phase = Phase::Connecting;
        if (started(done)) return;
        if (error == ERROR_PIPE_CONNECTED) return startReading();
        ::DisconnectNamedPipe(m_pipe);
        m_retry.start();
    }

    void startReading() {
        m_phase = Phase::Reading;
        m_deadline.start();
        read();
    }

    void read() {
        freshOverlapped();
        if (!started(::ReadFile(m_pipe, m_chunk, sizeof m_chunk, nullptr, &m_overlapped)))
            nextPeer();
    }

    void onEvent() {
        // A signal left from an operation already dealt with.
        if (!waiting()) return;
        DWORD count = 0;
        const bool ok = ::GetOverlappedResult(m_pipe, &m_overlapped, &count, FALSE);
        const DWORD error = ok ? ERROR_SUCCESS : ::GetLastError();
        if (error == ERROR_IO_INCOMPLETE) return;
        ::ResetEvent(m_event);
        switch (m_phase) {
        case Phase::Connecting:
            if (ok || error == ERROR_PIPE_CONNECTED)
                startReading();
            else
                nextPeer();
            break;
        case Phase::Reading:
            if (!ok || count == 0) return nextPeer();
            m_request.append(m_chunk, qsizetype(count));
            if (const qsizetype end = m_request.indexOf('\n'); end >= 0) return answer(end);
            // No line within the longest request: not one of ours.
            if (m_request.size() >= kMaxRequest) return nextPeer();
            read();
            break;
        case Phase::Writing:
            if (!ok) return nextPeer();
            // The reply stays in the pipe until the peer has read it and
            // hung up; a disconnect now would throw it away.
            m_phase = Phase::AwaitingHangUp;
            read();
            break;
        case Phase::AwaitingHangUp:
            nextPeer();
            break;
        case Phase::Idle:
        case Phase::Answering:
            break;
        }
    }

    void answer(qsizetype end) {
        // One request a connection: what the peer wrote after it is not
        // read, and the handler's time is not the peer's.
        m_phase = Phase::Answering;
        m_deadline.stop();
        const QString request = QString::fromUtf8(m_request.left(end)).trimmed();
        const QPointer<PipeInstance> alive(this);
        const QByteArray reply = m_handler ? m_handler(request) : QByteArray("ok");
        if (!alive || m_phase != Phase::Answering) return;
        m_reply = reply + '\n';
        m_phase = Phase::Writing;
        m_deadline.start();
        freshOverlapped();
        if (!started(::WriteFile(m_pipe, m_reply.constData(), DWORD(m_reply.size()), nullptr,
                                 &m_overlapped)))
            nextPeer();
    }

    // Waits for the operation under way to end, cancelled: its buffers
    // and the OVERLAPPED are the instance's.
    void cancel() {
        if (waiting()) {
            ::CancelIoEx(m_pipe, &m_overlapped);
            DWORD count = 0;
            ::GetOverlappedResult(m_pipe, &m_overlapped, &count, TRUE);
        }
        m_phase = Phase::Idle;
        ::ResetEvent(m_event);
    }

    // Done with this peer, whatever it did: the instance takes the next.
    void nextPeer() {
        m_deadline.stop();
        cancel();
        ::DisconnectNamedPipe(m_pipe);
        accept();
    }

    HANDLE m_pipe;
    HANDLE m_event;
    const Handler& m_handler;
    QWinEventNotifier m_notifier;
    QTimer m_deadline;
    QTimer m_retry;
    OVERLAPPED m_overlapped{};
    Phase m_phase = Phase::Idle;
    char m_chunk[kMaxRequest];
    QByteArray m_request;
    QByteArray m_reply;
};

class Server : public QObject {
  public:
    explicit Server(Handler handler) : m_handler(std::move(handler)) {}
    // The instances go first: they hold the handler.
    ~Server() override { qDeleteAll(findChildren<PipeInstance*>(Qt::FindDirectChildrenOnly)); }
    const Handler& handler() const { return m_handler; }

  private:
    Handler m_handler;
};

HANDLE createInstance(const std::wstring& name, SECURITY_ATTRIBUTES* security, bool first) {
    const DWORD openMode =
        PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    return ::CreateNamedPipeW(name.c_str(), openMode,
                              PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT |
                                  PIPE_REJECT_REMOTE_CLIENTS,
                              kMaxPeers, kBufferSize, kBufferSize, 0, security);
}

// Milliseconds left until a deadline of GetTickCount64.
DWORD remaining(ULONGLONG deadline) {
    const ULONGLONG now = ::GetTickCount64();
    return now >= deadline ? 0 : DWORD(deadline - now);
}

// Ends an operation on the client's end within the deadline; cancelled
// when it does not.
bool finish(HANDLE pipe, OVERLAPPED& overlapped, BOOL done, DWORD* count, ULONGLONG deadline) {
    if (!done) {
        if (::GetLastError() != ERROR_IO_PENDING) return false;
        if (::WaitForSingleObject(overlapped.hEvent, remaining(deadline)) != WAIT_OBJECT_0) {
            ::CancelIoEx(pipe, &overlapped);
            ::GetOverlappedResult(pipe, &overlapped, count, TRUE);
            return false;
        }
    }
    return ::GetOverlappedResult(pipe, &overlapped, count, FALSE);
}

// Whether the pipe was made by this user: a pipe of the same name that
// someone else made first hears nothing.
bool ownedByMe(HANDLE pipe, const Identity& id) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(pipe, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                          nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    const bool mine = owner && ::EqualSid(owner, id.sid());
    ::LocalFree(descriptor);
    return mine;
}

HANDLE openPipe(const std::wstring& name, ULONGLONG deadline) {
    for (;;) {
        // Identification only: the instance learns who asks but cannot act
        // as this user.
        const HANDLE pipe = ::CreateFileW(
            name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
            FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) return pipe;
        // Every instance busy: wait for one to be free, within the deadline.
        if (::GetLastError() != ERROR_PIPE_BUSY || remaining(deadline) == 0)
            return INVALID_HANDLE_VALUE;
        if (!::WaitNamedPipeW(name.c_str(), remaining(deadline)) &&
            ::GetLastError() != ERROR_SEM_TIMEOUT)
            ::Sleep(10);
    }
}

QByteArray exchange(HANDLE pipe, const QByteArray& line, ULONGLONG deadline) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!overlapped.hEvent) return {};
    QByteArray reply;
    DWORD count = 0;
    if (finish(pipe, overlapped,
               ::WriteFile(pipe, line.constData(), DWORD(line.size()), nullptr, &overlapped),
               &count, deadline) &&
        count == DWORD(line.size())) {
        char buffer[64];
        // The instance answers once it has the request in hand.
        while (!reply.contains('\n') && reply.size() < kMaxRequest) {
            const HANDLE event = overlapped.hEvent;
            overlapped = OVERLAPPED{};
            overlapped.hEvent = event;
            if (!finish(pipe, overlapped,
                        ::ReadFile(pipe, buffer, sizeof buffer, nullptr, &overlapped), &count,
                        deadline) ||
                count == 0)
                break;
            reply.append(buffer, qsizetype(count));
        }
    }
    ::CloseHandle(overlapped.hEvent);
    const qsizetype end = reply.indexOf('\n');
    return end < 0 ? QByteArray() : reply.left(end).trimmed();
}

} // namespace

namespace {

constexpr qsizetype kSecretSize = 32;

QByteArray readSecret(const QString& file) {
    QFile key(file);
    return key.open(QIODevice::ReadOnly) ? key.read(kSecretSize) : QByteArray();
}

// The user's secret beside the channel, made at the first use: a folder of
// the user's own keeps it from other accounts.
QByteArray channelSecret(const QString& folder) {
    const QString file = QDir(folder).filePath(QStringLiteral("channel.key"));
    QByteArray secret = readSecret(file);
    if (secret.size() == kSecretSize) return secret;
    if (QFile::exists(file)) QFile::remove(file);
    secret.resize(kSecretSize);
    QRandomGenerator::system()->generate(secret.begin(), secret.end());
    // Written whole under another name and put in place only where no
    // other start put its own first: every start reads the same one.
    QTemporaryFile fresh(file + QStringLiteral("-XXXXXX"));
    if (fresh.open() && fresh.write(secret) == kSecretSize && fresh.flush()) {
        fresh.close();
        // Renamed, it is no longer the temporary file's to remove.
        if (fresh.rename(file)) {
            fresh.setAutoRemove(false);
            return secret;
        }
    }
    secret = readSecret(file);
    return secret.size() == kSecretSize ? secret : QByteArray();
}

} // namespace

QString pipeName(const QString& path) {
    const Identity& id = identity();
    if (!id.valid()) return {};
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const QByteArray secret = channelSecret(clean.left(clean.lastIndexOf(QLatin1Char('/'))));
    if (secret.isEmpty()) return {};
    // Paths differ only in case and separators on this file system; the
    // hash keeps the name short whatever the path's length.
    const QString folded = clean.toCaseFolded();
    const QByteArray hash =
        QCryptographicHash::hash(secret + folded.toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(32);
    return QStringLiteral("\\\\.\\pipe\\zuz-zonara-%1-%2-%3")
        .arg(id.text)
        .arg(id.session)
        .arg(QString::fromLatin1(hash));
}

std::unique_ptr<QObject> listen(const QString& path, Handler onRequest) {
    const QString name = pipeName(path);
    if (name.isEmpty()) return nullptr;
    PipeSecurity security(identity());
    if (!security.attributes()) return nullptr;
    const std::wstring pipe = wide(name);
    // Exclusive: an instance still listening, or a pipe someone else made
    // under this name, leaves this one without a channel.
    const HANDLE first = createInstance(pipe, security.attributes(), true);
    if (first == INVALID_HANDLE_VALUE) return nullptr;
    // Where the system does not make the first instance exclusive, the
    // pipe's owner tells whose it is.
    if (!ownedByMe(first, identity())) {
        ::CloseHandle(first);
        return nullptr;
    }
    auto server = std::make_unique<Server>(std::move(onRequest));
    new PipeInstance(first, server->handler(), server.get());
    for (int i = 1; i < kMaxPeers; ++i) {
        const HANDLE more = createInstance(pipe, security.attributes(), false);
        if (more == INVALID_HANDLE_VALUE) break;
        new PipeInstance(more, server->handler(), server.get());
    }
    return server;
}

QByteArray send(const QString& path, const QString& request, Lend lend) {
    const QString name = pipeName(path);
    if (name.isEmpty()) return {};
    const ULONGLONG deadline = ::GetTickCount64() + ULONGLONG(kDeadlineMs);
    const HANDLE pipe = openPipe(wide(name), deadline);
    if (pipe == INVALID_HANDLE_VALUE) return {};
    QByteArray reply;
    if (ownedByMe(pipe, identity())) {
        // Only when asked: under Wine without a display a start that
        // touched user32 never ended. The right goes to the instance at
        // the pipe's other end and to no other process.
        ULONG server = 0;
        if (lend == Lend::Foreground && ::GetNamedPipeServerProcessId(pipe, &server))
            ::AllowSetForegroundWindow(DWORD(server));
        reply = exchange(pipe, request.toUtf8() + '\n', deadline);
    }
    ::CloseHandle(pipe);
    return reply;
}

} // namespace instancechannel
