// A plain HTTP/1.0 GET over the socket layer. The body, without the response header, goes to a
// file, to a caller's buffer, or both. The status line and header fields are not looked at: an
// error page is delivered like any other body.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Port 0 means the web's usual port 80.
uint16_t HttpPort(int32_t port);

// The request text sent to the server.
std::string HttpRequestText(const char* host, const char* path);

// 1 when the server closed the connection after the request (or the buffer filled), 0 on any
// failure: a refused or uncreatable file target, an unresolvable host, a failed connect, send,
// receive or file write. The buffer, when given, takes up to bufferSize - 1 body bytes with a NUL
// behind them, and the fetch ends once it is full. The last socket error tells why a
// fetch failed. There is no read time-out: a server that never closes keeps the caller waiting.
uint8_t HttpGet(const char* host, const char* path, int32_t port, const char* fileName,
                char* buffer, size_t bufferSize, int32_t connectTimeoutMs);
