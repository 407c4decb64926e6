#include "launcher/desktopnotice.h"

#include <cstdint>
#include <cstdlib>
#include <dlfcn.h>
#include <spawn.h>
#include <string>

extern char** environ;

namespace desktopnotice {

namespace {

// libdbus-1 is loaded only here, on the failure path, so that a start that
// goes well maps nothing more. It is on every machine the programs run on
// (Qt's D-Bus module, which Qt's GUI module needs, is built on
// it), unlike notify-send or gdbus, and its ABI has been fixed since 1.0:
// the few types the calls need are declared here rather than taken from
// its development headers.
struct BusError {
    const char* name;
    const char* message;
    unsigned int flags;
    void* padding;
    void* reserve[2];
};
// Opaque to its users, 72 bytes in the library's own declaration.
struct alignas(8) MessageIter {
    unsigned char opaque[128];
};
struct Connection;
struct Message;
using Bool = std::uint32_t;

constexpr int kSessionBus = 0;
constexpr int kTypeString = 's';
constexpr int kTypeUint32 = 'u';
constexpr int kTypeInt32 = 'i';
constexpr int kTypeArray = 'a';
constexpr int kReplyTimeoutMs = 5000;

struct Bus {
    void (*errorInit)(BusError*);
    void (*errorFree)(BusError*);
    Connection* (*getPrivate)(int, BusError*);
    void (*setExitOnDisconnect)(Connection*, Bool);
    void (*close)(Connection*);
    void (*connectionUnref)(Connection*);
    Message* (*newMethodCall)(const char*, const char*, const char*, const char*);
    void (*messageUnref)(Message*);
    void (*iterInitAppend)(Message*, MessageIter*);
    Bool (*appendBasic)(MessageIter*, int, const void*);
    Bool (*openContainer)(MessageIter*, int, const char*, MessageIter*);
    Bool (*closeContainer)(MessageIter*, MessageIter*);
    Message* (*sendWithReplyAndBlock)(Connection*, Message*, int, BusError*);
};

template <typename F> bool resolve(void* library, const char* name, F& function) {
    function = reinterpret_cast<F>(::dlsym(library, name));
    return function != nullptr;
}

bool loadBus(Bus& bus) {
    void* library = ::dlopen("libdbus-1.so.3", RTLD_NOW | RTLD_LOCAL);
    return library && resolve(library, "dbus_error_init", bus.errorInit) &&
           resolve(library, "dbus_error_free", bus.errorFree) &&
           resolve(library, "dbus_bus_get_private", bus.getPrivate) &&
           resolve(library, "dbus_connection_set_exit_on_disconnect", bus.setExitOnDisconnect) &&
           resolve(library, "dbus_connection_close", bus.close) &&
           resolve(library, "dbus_connection_unref", bus.connectionUnref) &&
           resolve(library, "dbus_message_new_method_call", bus.newMethodCall) &&
           resolve(library, "dbus_message_unref", bus.messageUnref) &&
           resolve(library, "dbus_message_iter_init_append", bus.iterInitAppend) &&
           resolve(library, "dbus_message_iter_append_basic", bus.appendBasic) &&
           resolve(library, "dbus_message_iter_open_container", bus.openContainer) &&
           resolve(library, "dbus_message_iter_close_container", bus.closeContainer) &&
           resolve(library, "dbus_connection_send_with_reply_and_block", bus.sendWithReplyAndBlock);
}

// The length of the UTF-8 sequence at `at` as libdbus accepts it (no
// overlong forms, surrogates or code points past U+10FFFF), or 0.
size_t sequenceLength(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    if (lead < 0x80) return lead ? 1 : 0;
    const size_t length = (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    std::uint32_t code = lead & (0x7f >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((byte(at + k) >> 6) != 2) return 0;
        code = (code << 6) | (byte(at + k) & 0x3f);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10ffff || (code & 0xfffff800) == 0xd800) return 0;
    return length;
}

// libdbus aborts the process on a string that is not UTF-8; a path or the
// loader's message may hold any bytes.
std::string validUtf8(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (const size_t length = sequenceLength(text, i)) {
            out.append(text, i, length);
            i += length;
        } else {
            out += '?';
            ++i;
        }
    }
    return out;
}

bool appendString(const Bus& bus, MessageIter* iter, const std::string& text) {
    const char* value = text.c_str();
    return bus.appendBasic(iter, kTypeString, &value);
}

bool appendEmpty(const Bus& bus, MessageIter* iter, const char* contained) {
    MessageIter sub{};
    return bus.openContainer(iter, kTypeArray, contained, &sub) && bus.closeContainer(iter, &sub);
}

bool notify(const char* program, const startfailure::Notice& notice) {
    Bus bus{};
    if (!loadBus(bus)) return false;
    BusError error{};
    bus.errorInit(&error);
    Connection* connection = bus.getPrivate(kSessionBus, &error);
    bool delivered = false;
    if (connection) {
        bus.setExitOnDisconnect(connection, 0);
        if (Message* call =
                bus.newMethodCall("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                  "org.freedesktop.Notifications", "Notify")) {
            MessageIter args{};
            bus.iterInitAppend(call, &args);
            const std::uint32_t replaces = 0;
            const std::int32_t expires = -1;
            if (appendString(bus, &args, validUtf8(program)) &&
                bus.appendBasic(&args, kTypeUint32, &replaces) &&
                appendString(bus, &args, "dialog-error") &&
                appendString(bus, &args, validUtf8(notice.summary)) &&
                appendString(bus, &args, validUtf8(notice.body)) && appendEmpty(bus, &args, "s") &&
                appendEmpty(bus, &args, "{sv}") && bus.appendBasic(&args, kTypeInt32, &expires)) {
                if (Message* reply =
                        bus.sendWithReplyAndBlock(connection, call, kReplyTimeoutMs, &error)) {
                    delivered = true;
                    bus.messageUnref(reply);
                }
            }
            bus.messageUnref(call);
        }
        bus.close(connection);
        bus.connectionUnref(connection);
    }
    bus.errorFree(&error);
    return delivered;
}

// Desktops without a notification service (a bare window manager) still
// have one of these; started and left, so that the launcher's exit does
// not wait for the user.
bool dialog(const startfailure::Notice& notice) {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(display && *display) && !(wayland && *wayland)) return false;
    const std::string title = "--title=" + notice.summary;
    const std::string text = "--text=" + notice.body;
    const std::string both = notice.summary + "\n\n" + notice.body;
    const char* zenity[] = {"zenity",      "--error",    "--no-markup",
                            title.c_str(), text.c_str(), nullptr};
    const char* kdialog[] = {"kdialog", "--title",           notice.summary.c_str(),
                             "--error", notice.body.c_str(), nullptr};
    const char* xmessage[] = {"xmessage", "-center", both.c_str(), nullptr};
    for (const char** argv : {zenity, kdialog, xmessage}) {
        pid_t pid = 0;
        if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) == 0)
            return true;
    }
    return false;
}

} // namespace

Shown show(const char* program, const startfailure::Notice& notice) {
    if (notify(program, notice)) return Shown::AsNotification;
    if (dialog(notice)) return Shown::AsDialog;
    return Shown::Nowhere;
}

} // namespace desktopnotice
