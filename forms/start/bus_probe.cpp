// SPDX-License-Identifier: MIT
// One bounded call on the session bus; see bus_probe.hpp.
#include "forms/start/bus_probe.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace forms {

namespace {

using Clock = std::chrono::steady_clock;

// The bus protocol's message types and header fields used here.
constexpr char kMethodCall = 1;
constexpr char kNoAutoStart = 2; // a flag: do not start the owner where it is not running
constexpr char kFieldPath = 1;
constexpr char kFieldInterface = 2;
constexpr char kFieldMember = 3;
constexpr char kFieldReplySerial = 5;
constexpr char kFieldDestination = 6;
constexpr std::uint32_t kHelloSerial = 1;
constexpr std::uint32_t kProbeSerial = 2;

// A connected socket, closed when it goes.
class Socket {
public:
    explicit Socket(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    ~Socket()
    {
        if (m_descriptor >= 0) {
            ::close(m_descriptor);
        }
    }
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;
    Socket(Socket &&) = delete;
    Socket &operator=(Socket &&) = delete;

    [[nodiscard]] int get() const { return m_descriptor; }

private:
    int m_descriptor;
};

enum class Wait { Ready, TimedOut, Failed };

Wait waitFor(int descriptor, short events, Clock::time_point deadline)
{
    for (;;) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return Wait::TimedOut;
        }
        pollfd watched {.fd = descriptor, .events = events, .revents = 0};
        const int ready = ::poll(&watched, 1, static_cast<int>(left.count()));
        if (ready > 0) {
            return (watched.revents & events) != 0 ? Wait::Ready : Wait::Failed;
        }
        if (ready < 0 && errno != EINTR) {
            return Wait::Failed;
        }
    }
}

Wait sendAll(int descriptor, std::string_view bytes, Clock::time_point deadline)
{
    while (!bytes.empty()) {
        const ssize_t sent = ::send(descriptor, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (const Wait wait = waitFor(descriptor, POLLOUT, deadline); wait != Wait::Ready) {
                return wait;
            }
            continue;
        }
        return Wait::Failed;
    }
    return Wait::Ready;
}

// Appends what the socket has, waiting until the deadline for something.
Wait receiveMore(int descriptor, std::string &into, Clock::time_point deadline)
{
    if (const Wait wait = waitFor(descriptor, POLLIN, deadline); wait != Wait::Ready) {
        return wait;
    }
    std::array<char, 4096> chunk {};
    const ssize_t got = ::recv(descriptor, chunk.data(), chunk.size(), 0);
    if (got <= 0) {
        return got < 0 && (errno == EAGAIN || errno == EINTR) ? Wait::Ready : Wait::Failed;
    }
    into.append(chunk.data(), static_cast<std::size_t>(got));
    return Wait::Ready;
}

void pad(std::string &message, std::size_t alignment)
{
    message.resize((message.size() + alignment - 1) / alignment * alignment, '\0');
}

void put32(std::string &message, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        message.push_back(static_cast<char>((value >> shift) & 0xffU));
    }
}

// A method call without arguments, little-endian.
std::string methodCall(std::uint32_t serial, char flags, std::string_view destination,
                       std::string_view path, std::string_view interface, std::string_view member)
{
    std::string message {'l', kMethodCall, flags, 1};
    put32(message, 0); // no body
    put32(message, serial);
    put32(message, 0); // the fields' length, filled in below
    const auto field = [&message](char code, char type, std::string_view text) {
        pad(message, 8);
        message += {code, 1, type, '\0'};
        put32(message, static_cast<std::uint32_t>(text.size()));
        message.append(text).push_back('\0');
    };
    field(kFieldPath, 'o', path);
    field(kFieldInterface, 's', interface);
    field(kFieldMember, 's', member);
    field(kFieldDestination, 's', destination);
    const auto fields = static_cast<std::uint32_t>(message.size() - 16);
    for (int i = 0; i < 4; ++i) {
        message[12 + static_cast<std::size_t>(i)] = static_cast<char>((fields >> (8 * i)) & 0xffU);
    }
    pad(message, 8);
    return message;
}

std::uint32_t get32(std::string_view bytes, std::size_t at, bool bigEndian)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const auto byte = static_cast<std::uint8_t>(bytes[at + (bigEndian ? i : 3 - i)]);
        value = (value << 8) | byte;
    }
    return value;
}

// The next whole message at the front of `buffer`: its length and the serial it replies to (0
// for one that is no reply); nothing while it is not all there, or when it cannot be read.
struct Received {
    std::size_t length = 0;
    std::uint32_t replyTo = 0;
};
enum class Reading { Incomplete, Malformed };

std::optional<Received> nextMessage(std::string_view buffer, Reading &why)
{
    why = Reading::Incomplete;
    if (buffer.size() < 16) {
        return std::nullopt;
    }
    const bool big = buffer[0] == 'B';
    if (!big && buffer[0] != 'l') {
        why = Reading::Malformed;
        return std::nullopt;
    }
    const std::uint64_t body = get32(buffer, 4, big);
    const std::uint64_t fields = get32(buffer, 12, big);
    const std::uint64_t length = (16 + fields + 7) / 8 * 8 + body;
    if (length > (std::uint64_t {1} << 27)) {
        why = Reading::Malformed;
        return std::nullopt;
    }
    if (buffer.size() < length) {
        return std::nullopt;
    }
    Received received {.length = static_cast<std::size_t>(length)};
    const std::size_t end = 16 + static_cast<std::size_t>(fields);
    for (std::size_t at = 16; at + 4 <= end;) {
        const char code = buffer[at];
        const auto signatureLength = static_cast<std::uint8_t>(buffer[at + 1]);
        const char type = signatureLength == 1 ? buffer[at + 2] : '\0';
        at += 3 + signatureLength;
        if (type == 'u' || type == 's' || type == 'o') {
            at = (at + 3) / 4 * 4;
            if (at + 4 > end) {
                break;
            }
            const std::uint32_t value = get32(buffer, at, big);
            if (type == 'u') {
                if (code == kFieldReplySerial) {
                    received.replyTo = value;
                }
                at += 4;
            } else {
                at += 4 + std::size_t {value} + 1;
            }
        } else if (type == 'g') {
            at += 1 + static_cast<std::uint8_t>(buffer[at]) + 1;
        } else {
            break; // no header field of another type is needed to find the reply's serial
        }
        at = (at + 7) / 8 * 8;
    }
    return received;
}

std::string hex(std::string_view text)
{
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<std::uint8_t>(c);
        out += kDigits[byte >> 4U];
        out += kDigits[byte & 0xfU];
    }
    return out;
}

// An address value with its %XX escapes undone; nothing when an escape is broken.
std::optional<std::string> unescaped(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            out += value[i];
            continue;
        }
        if (i + 2 >= value.size()) {
            return std::nullopt;
        }
        unsigned byte = 0;
        for (const char c : value.substr(i + 1, 2)) {
            const std::size_t digit
                = std::string_view("0123456789abcdef")
                      .find(static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c));
            if (digit == std::string_view::npos) {
                return std::nullopt;
            }
            byte = byte * 16 + static_cast<unsigned>(digit);
        }
        out += static_cast<char>(byte);
        i += 2;
    }
    return out;
}

} // namespace

std::optional<std::string> localSocketName(std::string_view address)
{
    while (!address.empty()) {
        std::string_view entry = address.substr(0, address.find(';'));
        address.remove_prefix(std::min(address.size(), entry.size() + 1));
        if (!entry.starts_with("unix:")) {
            continue;
        }
        entry.remove_prefix(5);
        while (!entry.empty()) {
            const std::string_view pair = entry.substr(0, entry.find(','));
            entry.remove_prefix(std::min(entry.size(), pair.size() + 1));
            const bool path = pair.starts_with("path=");
            if (!path && !pair.starts_with("abstract=")) {
                continue;
            }
            std::optional<std::string> name = unescaped(pair.substr(pair.find('=') + 1));
            if (!name || name->empty()) {
                break;
            }
            return path ? *name : std::string(1, '\0') + *name;
        }
    }
    return std::nullopt;
}

BusAnswer probeAccessibilityBus(std::string_view address, std::chrono::milliseconds limit)
{
    const Clock::time_point deadline = Clock::now() + limit;
    const std::optional<std::string> name = localSocketName(address);
    sockaddr_un where {};
    if (!name || name->size() >= sizeof where.sun_path) {
        return BusAnswer::NotReached;
    }
    where.sun_family = AF_UNIX;
    std::memcpy(where.sun_path, name->data(), name->size());
    const Socket bus(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (bus.get() < 0) {
        return BusAnswer::NotReached;
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the socket API's own type
    if (::connect(bus.get(), reinterpret_cast<const sockaddr *>(&where),
                  static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name->size()))
        != 0) {
        // A listener whose queue is full is one that does not take its connections.
        return errno == EAGAIN ? BusAnswer::SessionBusSilent : BusAnswer::NotReached;
    }

    const auto silentOrGone = [](Wait wait, BusAnswer silent) {
        return wait == Wait::TimedOut ? silent : BusAnswer::NotReached;
    };
    std::string greeting(1, '\0');
    greeting += "AUTH EXTERNAL " + hex(std::to_string(::getuid())) + "\r\n";
    if (const Wait wait = sendAll(bus.get(), greeting, deadline); wait != Wait::Ready) {
        return silentOrGone(wait, BusAnswer::SessionBusSilent);
    }
    std::string received;
    while (received.find("\r\n") == std::string::npos) {
        if (const Wait wait = receiveMore(bus.get(), received, deadline); wait != Wait::Ready) {
            return silentOrGone(wait, BusAnswer::SessionBusSilent);
        }
    }
    if (!received.starts_with("OK ")) {
        return BusAnswer::NotReached;
    }
    received.erase(0, received.find("\r\n") + 2);

    const std::string calls = "BEGIN\r\n"
        + methodCall(kHelloSerial, 0, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                     "org.freedesktop.DBus", "Hello")
        + methodCall(kProbeSerial, kNoAutoStart, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                     "GetAddress");
    if (const Wait wait = sendAll(bus.get(), calls, deadline); wait != Wait::Ready) {
        return silentOrGone(wait, BusAnswer::SessionBusSilent);
    }
    bool helloAnswered = false;
    for (;;) {
        Reading why = Reading::Incomplete;
        while (const std::optional<Received> message = nextMessage(received, why)) {
            if (message->replyTo == kProbeSerial) {
                return BusAnswer::Answered; // a reply or an error: an answer either way
            }
            helloAnswered = helloAnswered || message->replyTo == kHelloSerial;
            received.erase(0, message->length);
        }
        if (why == Reading::Malformed) {
            return BusAnswer::NotReached;
        }
        if (const Wait wait = receiveMore(bus.get(), received, deadline); wait != Wait::Ready) {
            return silentOrGone(wait,
                                helloAnswered ? BusAnswer::AccessibilityBusSilent
                                              : BusAnswer::SessionBusSilent);
        }
    }
}

} // namespace forms
