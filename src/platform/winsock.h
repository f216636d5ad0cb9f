// TCP sockets: the real Winsock headers on Windows, our BSD-socket-backed declarations of the
// same names elsewhere. The system's code includes only this header.
#pragma once
#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include "platform/linux/winsock/winsock_api.h"
#endif
