// The socket layer's error numbers and its last error. Programs see the classic socket error
// numbers (10035 would block, 10061 refused, ...), so every errno and resolver code is mapped into
// that space; the layer adds 8 (no free row), 10036 (connect timed out) and 10093 (not started).
// The last error is kept per thread: the network thread's polling must not overwrite the reason
// a program's own call failed.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int32_t kSockErrTableFull = 8;
inline constexpr int32_t kSockErrInterrupted = 10004;
inline constexpr int32_t kSockErrInvalid = 10022;
inline constexpr int32_t kSockErrWouldBlock = 10035;
inline constexpr int32_t kSockErrTimedOutConnect = 10036;
inline constexpr int32_t kSockErrNotSocket = 10038;
inline constexpr int32_t kSockErrNoDestination = 10039;
inline constexpr int32_t kSockErrMessageSize = 10040;
inline constexpr int32_t kSockErrNetUnreachable = 10051;
inline constexpr int32_t kSockErrAborted = 10053;
inline constexpr int32_t kSockErrConnReset = 10054;
inline constexpr int32_t kSockErrTimedOut = 10060;
inline constexpr int32_t kSockErrRefused = 10061;
inline constexpr int32_t kSockErrNotStarted = 10093;
inline constexpr int32_t kSockErrHostNotFound = 11001;

// Maps an errno value; unknown values give 10022.
int32_t SockErrorFromErrno(int err);
// Maps a getaddrinfo result (err is errno, consulted for EAI_SYSTEM).
int32_t SockErrorFromResolver(int eaiCode, int err);

int32_t SockGetLastError();
void SockSetLastError(int32_t code);
// Stores the mapped code and keeps the original errno for the text.
void SockSetLastErrorFromErrno(int err);
void SockSetLastErrorFromResolver(int eaiCode, int err);

// "%d %s" of the last error and its text; "" when there is no text for it.
std::string SockGetErrorText();
