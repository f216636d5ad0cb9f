// The Winsock-only functions over BSD sockets.
#include "platform/linux/winsock/winsock_api.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData) {
    if ((wVersionRequested & 0xff) != 2)
        return WSAEINVAL;
    if (lpWSAData) {
        std::memset(lpWSAData, 0, sizeof *lpWSAData);
        lpWSAData->wVersion = MAKEWORD(2, 2);
        lpWSAData->wHighVersion = MAKEWORD(2, 2);
        std::strcpy(lpWSAData->szDescription, "BSD sockets");
        std::strcpy(lpWSAData->szSystemStatus, "Running");
    }
    std::signal(SIGPIPE, SIG_IGN);
    return 0;
}

int WSACleanup() {
    return 0;
}

int WSAGetLastError() {
    // errno values of the calls the system makes, to the codes Winsock reports for the same
    // situations (a non-blocking connect in progress is WSAEWOULDBLOCK there).
    static const struct {
        int posix;
        int winsock;
    } kErrors[] = {
        {EWOULDBLOCK, WSAEWOULDBLOCK},
        {EAGAIN, WSAEWOULDBLOCK},
        {EINPROGRESS, WSAEWOULDBLOCK},
        {EINTR, WSAEINTR},
        {EINVAL, WSAEINVAL},
        {EBADF, WSAENOTSOCK},
        {ENOTSOCK, WSAENOTSOCK},
        {ECONNRESET, WSAECONNRESET},
        {EPIPE, WSAECONNRESET},
        {ENOTCONN, WSAENOTCONN},
        {ECONNREFUSED, WSAECONNREFUSED},
        {EHOSTUNREACH, WSAEHOSTUNREACH},
    };
    for (const auto& e : kErrors)
        if (e.posix == errno)
            return e.winsock;
    return errno;
}

int closesocket(SOCKET s) {
    return close(s);
}

int ioctlsocket(SOCKET s, long cmd, ULONG* argp) {
    if (cmd != static_cast<long>(FIONBIO) || !argp) {
        errno = EINVAL;
        return SOCKET_ERROR;
    }
    int flags = fcntl(s, F_GETFL, 0);
    if (flags < 0)
        return SOCKET_ERROR;
    flags = *argp ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return fcntl(s, F_SETFL, flags) < 0 ? SOCKET_ERROR : 0;
}
