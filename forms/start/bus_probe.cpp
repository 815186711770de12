// SPDX-License-Identifier: MIT
// The bounded calls on a bus; see bus_probe.hpp.
#include "forms/start/bus_probe.hpp"

#include "forms/start/start_failure.hpp"

#include <dbus/dbus.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <span>

namespace forms {

namespace {

using Clock = std::chrono::steady_clock;

// A private connection is ours to close before its last reference goes.
void close(DBusConnection *connection)
{
    dbus_connection_close(connection);
    dbus_connection_unref(connection);
}
using Connection = std::unique_ptr<DBusConnection, decltype(&close)>;
using Message = std::unique_ptr<DBusMessage, decltype(&dbus_message_unref)>;

// Sends `call` and reads until its reply comes, the connection goes or the deadline passes.
std::pair<BusAnswer, Message> ask(DBusConnection *connection, DBusMessage *call,
                                  Clock::time_point deadline)
{
    dbus_uint32_t serial = 0;
    if (call == nullptr || dbus_connection_send(connection, call, &serial) == FALSE) {
        return {BusAnswer::NotReached, Message {nullptr, &dbus_message_unref}};
    }
    for (;;) {
        while (Message reply {dbus_connection_pop_message(connection), &dbus_message_unref}) {
            if (dbus_message_get_reply_serial(reply.get()) == serial) {
                return {BusAnswer::Answered, std::move(reply)};
            }
        }
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (dbus_connection_get_is_connected(connection) == FALSE) {
            return {BusAnswer::NotReached, Message {nullptr, &dbus_message_unref}};
        }
        if (left.count() <= 0) {
            return {BusAnswer::Silent, Message {nullptr, &dbus_message_unref}};
        }
        dbus_connection_read_write(connection, static_cast<int>(left.count()));
    }
}

Message busCall(const char *destination, const char *path, const char *interface,
                const char *member)
{
    return {dbus_message_new_method_call(destination, path, interface, member),
            &dbus_message_unref};
}

} // namespace

std::optional<std::string> programStartedFor(std::string_view address)
{
    DBusAddressEntry **entries = nullptr;
    int count = 0;
    DBusError error;
    dbus_error_init(&error);
    const std::string named(address);
    if (dbus_parse_address(named.c_str(), &entries, &count, &error) == FALSE) {
        dbus_error_free(&error);
        return std::nullopt; // libdbus opens nothing it cannot parse
    }
    std::optional<std::string> started;
    for (DBusAddressEntry *entry : std::span(entries, static_cast<std::size_t>(count))) {
        const std::string_view method = dbus_address_entry_get_method(entry);
        if (method == "unixexec" || method == "autolaunch") {
            started = std::string(method);
            break;
        }
    }
    dbus_address_entries_free(entries);
    return started;
}

std::optional<std::string> sessionBusAddress()
{
    if (const auto named = environment("DBUS_SESSION_BUS_ADDRESS")) {
        return std::string(*named);
    }
    const auto runtime = environment("XDG_RUNTIME_DIR");
    const std::string socket = std::string(runtime.value_or("")) + "/bus";
    struct stat found { };
    if (!runtime || ::stat(socket.c_str(), &found) != 0 || !S_ISSOCK(found.st_mode)
        || found.st_uid != ::getuid()) {
        return std::nullopt;
    }
    const std::unique_ptr<char, decltype(&dbus_free)> escaped {
        dbus_address_escape_value(socket.c_str()), &dbus_free};
    return escaped ? std::optional("unix:path=" + std::string(escaped.get())) : std::nullopt;
}

BusProbe probeBus(std::string_view address, bool askLauncher, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    const std::string named(address);
    if (programStartedFor(named)) {
        return {}; // what it would start would be left running after the window
    }
    DBusError error;
    dbus_error_init(&error);
    const Connection connection {dbus_connection_open_private(named.c_str(), &error), &close};
    dbus_error_free(&error);
    if (!connection) {
        return {};
    }
    const Message hello = busCall(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "Hello");
    BusProbe said {.bus = ask(connection.get(), hello.get(), deadline).first};
    if (said.bus != BusAnswer::Answered || !askLauncher) {
        return said;
    }
    const Message getAddress
        = busCall("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress");
    if (getAddress) {
        dbus_message_set_auto_start(getAddress.get(), FALSE);
    }
    auto [answer, reply] = ask(connection.get(), getAddress.get(), deadline);
    said.launcher = answer;
    const char *where = nullptr;
    if (reply && dbus_message_get_type(reply.get()) == DBUS_MESSAGE_TYPE_METHOD_RETURN
        && dbus_message_get_args(reply.get(), nullptr, DBUS_TYPE_STRING, &where, DBUS_TYPE_INVALID)
            != FALSE) {
        said.accessibilityAddress = where;
    }
    return said;
}

} // namespace forms
