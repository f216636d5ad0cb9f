// The Winsock subset the system calls, on BSD sockets. The names both interfaces share
// (socket, connect, recv, send, select, getaddrinfo, getsockopt, sockaddr_in, htons, fd_set)
// come from the system's socket headers; the Winsock-only names are declared here with the
// values of the Windows headers: SOCKET, INVALID_SOCKET, SOCKET_ERROR, WSADATA, WSAStartup,
// WSACleanup, WSAGetLastError, closesocket, ioctlsocket with FIONBIO, and the WSAE error codes.
#pragma once

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>

#include "platform/linux/win32/win32_types.h"

// A descriptor; on Windows an opaque handle of pointer size, compared only with INVALID_SOCKET.
typedef int SOCKET;
constexpr SOCKET INVALID_SOCKET = -1;
constexpr int SOCKET_ERROR = -1;

#ifndef MAKEWORD
#define MAKEWORD(low, high) ((WORD)(((BYTE)(low)) | ((WORD)((BYTE)(high))) << 8))
#endif

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[257];
    char szSystemStatus[129];
    unsigned short iMaxSockets;
    unsigned short iMaxUdpDg;
    char* lpVendorInfo;
};
typedef WSADATA* LPWSADATA;

// Error codes of WSAGetLastError.
constexpr int WSAEINTR = 10004;
constexpr int WSAEINVAL = 10022;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAEINPROGRESS = 10036;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAEHOSTUNREACH = 10065;
constexpr int WSASYSNOTREADY = 10091;

// Starts the socket services; the requested version must be 2.x. Returns 0 on success. Winsock
// never raises signals: a send to a closed peer fails with an error, so SIGPIPE is ignored here.
int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData);
int WSACleanup();
// The error of the last failed socket call on this thread, as a WSAE code.
int WSAGetLastError();
int closesocket(SOCKET s);
// Only FIONBIO is supported: *argp non-zero makes the socket non-blocking.
int ioctlsocket(SOCKET s, long cmd, ULONG* argp);
