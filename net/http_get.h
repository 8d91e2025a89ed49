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

// 1 when the server closed the connection after the whole body (or the buffer filled), 0 on any
// failure: a refused or uncreatable file target, an unresolvable host, a failed connect, send,
// receive or file write; a body shorter than its Content-Length or a chunked body without its
// last chunk (10054 when the server reset the connection, else 10053); a server silent for the
// stall limit (10060). The body is delivered as sent, chunk lines included. The buffer, when
// given, takes up to bufferSize - 1 body bytes with a NUL behind them, and the fetch ends once it
// is full. The last socket error tells why a fetch failed.
// The longest the server may send nothing before a fetch fails; 30 s unless changed.
void HttpSetStallLimitMs(int32_t limitMs);

uint8_t HttpGet(const char* host, const char* path, int32_t port, const char* fileName,
                char* buffer, size_t bufferSize, int32_t connectTimeoutMs);
