#include "windows/DisplayProbe.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace {

// How long the server has to accept and to answer.
constexpr int kWaitMs = 3000;

// The system's message for err, as part of a sentence.
std::string Reason(int err)
{
    std::string text = std::error_code(err, std::generic_category()).message();
    if (!text.empty())
        text[0] = char(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

class Socket {
public:
    explicit Socket(int fd = -1) : fd_(fd) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int Get() const { return fd_; }
    int Release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// Waits for fd to become ready for events; false on time-out (errno
// ETIMEDOUT) or error.
bool Wait(int fd, short events)
{
    pollfd p{fd, events, 0};
    for (;;) {
        const int n = ::poll(&p, 1, kWaitMs);
        if (n > 0)
            return true;
        if (n == 0) {
            errno = ETIMEDOUT;
            return false;
        }
        if (errno != EINTR)
            return false;
    }
}

// A connected socket, or -1 with errno telling why.
int Connect(int family, int type, int protocol, const sockaddr* address, socklen_t length)
{
    Socket s(::socket(family, type | SOCK_CLOEXEC | SOCK_NONBLOCK, protocol));
    if (s.Get() < 0)
        return -1;
    if (::connect(s.Get(), address, length) != 0) {
        if (errno != EINPROGRESS)
            return -1;
        if (!Wait(s.Get(), POLLOUT))
            return -1;
        int err = 0;
        socklen_t size = sizeof err;
        if (::getsockopt(s.Get(), SOL_SOCKET, SO_ERROR, &err, &size) != 0)
            return -1;
        if (err != 0) {
            errno = err;
            return -1;
        }
    }
    return s.Release();
}

// The local server's socket: the abstract one first, then the one in the
// file system, whose failure is the one reported.
int ConnectLocal(unsigned number)
{
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    for (const bool abstract : {true, false}) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + (abstract ? 1 : 0), path.data(), path.size());
        const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
        const int fd = Connect(AF_UNIX, SOCK_STREAM, 0, reinterpret_cast<const sockaddr*>(&address), length);
        if (fd >= 0)
            return fd;
    }
    return -1;
}

int ConnectTcp(const std::string& host, unsigned number, std::string& problem)
{
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(6000 + number);
    if (const int err = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found); err != 0) {
        problem = err == EAI_SYSTEM ? Reason(errno) : ::gai_strerror(err);
        return -1;
    }
    int fd = -1, err = 0;
    for (const addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = Connect(a->ai_family, a->ai_socktype, a->ai_protocol, a->ai_addr, a->ai_addrlen);
        err = errno;
    }
    ::freeaddrinfo(found);
    if (fd < 0)
        problem = Reason(err);
    return fd;
}

// Reads exactly size bytes; false at the end of the stream (errno 0), on
// time-out or on error.
bool ReadAll(int fd, unsigned char* data, std::size_t size)
{
    while (size > 0) {
        if (!Wait(fd, POLLIN))
            return false;
        const ssize_t n = ::read(fd, data, size);
        if (n == 0) {
            errno = 0;
            return false;
        }
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return false;
        }
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

bool WriteAll(int fd, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN && Wait(fd, POLLOUT))
                continue;
            return false;
        }
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// Why the exchange with a server that accepted the connection broke off.
// Closed with our request unread, a socket is reset rather than ended:
// either way the server hung up.
std::string ExchangeProblem(int err)
{
    if (err == 0 || err == ECONNRESET || err == EPIPE)
        return "the server closed the connection";
    return err == ETIMEDOUT ? "the server does not answer" : Reason(err);
}

}  // namespace

std::string DisplayConnectionProblem(const std::string& display)
{
    // [protocol/]host:number[.screen]; the host may hold colons (IPv6).
    std::string name = display, protocol;
    if (const std::size_t slash = name.find('/'); slash != std::string::npos) {
        protocol = name.substr(0, slash);
        name.erase(0, slash + 1);
    }
    const std::size_t colon = name.rfind(':');
    if (colon == std::string::npos)
        return "not a display name";
    std::string host = name.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const std::string rest = name.substr(colon + 1);
    std::size_t digits = 0;
    while (digits < rest.size() && digits < 5 && std::isdigit(static_cast<unsigned char>(rest[digits])))
        ++digits;
    if (digits == 0 || (digits < rest.size() && rest[digits] != '.'))
        return "not a display name";
    const unsigned number = unsigned(std::stoul(rest.substr(0, digits)));
    if (number > 59535)
        return "not a display name";

    std::string problem;
    int fd = -1;
    if (protocol == "unix" || (protocol.empty() && (host.empty() || host == "unix"))) {
        fd = ConnectLocal(number);
        if (fd < 0)
            problem = Reason(errno);
    } else {
        fd = ConnectTcp(host.empty() ? "localhost" : host, number, problem);
    }
    if (fd < 0)
        return problem;
    Socket s(fd);

    // The connection setup, little-endian, offering no authorization.
    const unsigned char request[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    if (!WriteAll(s.Get(), request, sizeof request))
        return ExchangeProblem(errno);
    // Status (0 failed, 1 accepted, 2 more authentication wanted), the
    // length of a failure's reason, the protocol version and the length of
    // what follows in four-byte units.
    unsigned char head[8];
    if (!ReadAll(s.Get(), head, sizeof head))
        return ExchangeProblem(errno);
    if (head[0] == 1)
        return {};
    const std::size_t more = std::size_t(head[6] | head[7] << 8) * 4;
    std::string text(more, '\0');
    if (!ReadAll(s.Get(), reinterpret_cast<unsigned char*>(text.data()), text.size()))
        return ExchangeProblem(errno);
    // A failure's reason has its own length; an authentication request's
    // fills what follows, padded with zeros.
    if (head[0] == 0)
        text.resize(std::min<std::size_t>(head[1], text.size()));
    while (!text.empty() && (text.back() == '\0' || std::isspace(static_cast<unsigned char>(text.back()))))
        text.pop_back();
    return text.empty() ? "the server refused the connection" : text;
}
