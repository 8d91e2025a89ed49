// A plain HTTP/1.0 GET over the socket layer. The body, without the response header, goes to a
// file, to a caller's buffer, or both. Interim responses (status 1xx) are passed over; any other
// status is not looked at: an error page is delivered like any other body.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Port 0 means the web's usual port 80.
uint16_t HttpPort(int32_t port);

// The request text sent to the server.
std::string HttpRequestText(const char* host, const char* path);

// What one fetch may take. A server that trickles or never ends its header or body would otherwise
// hold the program and fill the disk.
struct HttpLimits {
  int32_t stallMs = 30 * 1000;                 // longest the server may send nothing
  int32_t totalMs = 10 * 60 * 1000;            // longest a whole fetch may take, connect included
  uint64_t responseBytes = uint64_t(1) << 30;  // largest response taken, headers included
};
// Every later fetch keeps to these; HttpSetLimits({}) restores the defaults.
void HttpSetLimits(const HttpLimits& limits);

// 1 when the body came whole: its announced Content-Length or last chunk arrived (the fetch then
// ends without waiting for the server's close; bytes past that end are no body), or, without
// either, the server closed the connection; also 1 once the buffer is full. 0 on any failure,
// with the last socket error telling why: a refused (empty, "mem://") or uncreatable file target
// or a failed file write (mapped from the file error), an unresolvable host, a failed connect or
// send; a reset connection (10054); a close inside the header or before the announced end, or
// Content-Length values that disagree (10053); the stall or total time limit (10060); a response
// over the size limit (10040). The body is delivered as sent, chunk lines included. The buffer,
// when given, takes up to bufferSize - 1 body bytes with a NUL behind them. A file target is
// replaced only when the fetch succeeds: the body goes to a new file beside it first, so a failed
// fetch leaves the old file as it was.
uint8_t HttpGet(const char* host, const char* path, int32_t port, const char* fileName,
                char* buffer, size_t bufferSize, int32_t connectTimeoutMs);
