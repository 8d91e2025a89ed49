// The program's socket and HTTP commands: the language's values (texts and 32-bit integers) in,
// the socket layer called, the results turned back. Addresses and ports are in host order here
// and in network order below. No command sets the runtime's error code: the reason of a failure
// is the last socket error, which NetGetLastErrorText turns into text. Returned texts belong to
// the caller, who releases them.
#pragma once

#include <cstdint>

#include "core/str.h"

bool NetStartup();
void NetShutdown();

// Rows, or -1 on failure.
int32_t NetTcpListen(int32_t port);
int32_t NetTcpConnect(const Str& host, int32_t port, int32_t timeoutMs);
// On success the peer's address goes to peerAddress; on failure it is left alone.
int32_t NetTcpAccept(int32_t row, int32_t& peerAddress);
int32_t NetUdpOpen(int32_t port);

// Bytes sent, or -1.
int32_t NetSockSendString(int32_t row, const Str& text);
int32_t NetUdpSendString(int32_t row, const Str& text, int32_t address, int32_t port);
// One receive of at most maxCount bytes: the count, with the bytes in text (kept whole, NULs
// included); for 0, -1 and -2 the text becomes "".
int32_t NetSockRecvString(int32_t row, Str& text, int32_t maxCount);

bool NetSockClose(int32_t row);
// The last socket error after the change (0 = success).
int32_t NetSetBlocking(int32_t row, int32_t blocking);

// -1 when the name does not resolve (and for 255.255.255.255, which reads the same).
int32_t NetGetHostIp(const Str& host);
Str NetIpToString(int32_t address);
int32_t NetGetRemoteIp(int32_t row);
int32_t NetGetRemotePort(int32_t row);
// The machine's addresses joined by "|", 127.0.0.1 last; "" when there is none.
Str NetGetLocalIpList();
Str NetGetLastErrorText();

// 1 when the body was fetched into the file, else 0.
int32_t NetHttpGetFile(const Str& host, const Str& path, int32_t port, const Str& fileName,
                       int32_t timeoutMs);
// The body up to its first NUL, at most maxLength bytes; "" on failure.
Str NetHttpGetString(const Str& host, const Str& path, int32_t port, int32_t maxLength,
                     int32_t timeoutMs);
