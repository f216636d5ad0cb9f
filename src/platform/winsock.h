// TCP sockets: the real Winsock headers on Windows, our BSD-socket-backed declarations of the
// same names elsewhere. The system's code includes only this header.
#pragma once
#include "platform/win32.h"
#if defined(_WIN32)
// windows.h was included lean, without the old winsock.h, so Winsock 2 may follow it.
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include "platform/linux/winsock/winsock_api.h"
#endif
