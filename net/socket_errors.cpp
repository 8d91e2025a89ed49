// Error numbers of the socket layer: the errno map, the per-thread last error and its texts.
#include "net/socket_errors.h"

#include <netdb.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

struct ErrnoCode {
  int err;
  int32_t code;
};

// Linux errno values differ from the BSD numbers behind the classic codes, so the map is explicit.
constexpr ErrnoCode kErrnoCodes[] = {
    {EINTR, 10004},        {EACCES, 10013},       {EPERM, 10013},        {EFAULT, 10014},
    {EINVAL, 10022},       {EMFILE, 10024},       {ENFILE, 10024},       {EAGAIN, 10035},
    {EINPROGRESS, 10036},  {EALREADY, 10037},     {ENOTSOCK, 10038},     {EBADF, 10038},
    {EDESTADDRREQ, 10039}, {EMSGSIZE, 10040},     {ENOPROTOOPT, 10042},  {EPROTONOSUPPORT, 10043},
    {EOPNOTSUPP, 10045},   {EAFNOSUPPORT, 10047}, {EADDRINUSE, 10048},   {EADDRNOTAVAIL, 10049},
    {ENETDOWN, 10050},     {ENETUNREACH, 10051},  {ENETRESET, 10052},    {ECONNABORTED, 10053},
    {ECONNRESET, 10054},   {EPIPE, 10054},        {ENOBUFS, 10055},      {ENOMEM, 10055},
    {EISCONN, 10056},      {ENOTCONN, 10057},     {ESHUTDOWN, 10058},    {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061}, {EHOSTDOWN, 10064},    {EHOSTUNREACH, 10065},
};
static_assert(EAGAIN == EWOULDBLOCK);

struct CodeText {
  int32_t code;
  const char* text;
};

constexpr CodeText kCodeTexts[] = {
    {0, "No error."},
    {8, "No free socket slot."},
    {10004, "The call was interrupted."},
    {10013, "Permission denied."},
    {10014, "Bad address."},
    {10022, "Invalid argument."},
    {10024, "Too many open sockets."},
    {10035, "The operation would block."},
    {10036, "The connection attempt timed out."},
    {10037, "An operation is already in progress."},
    {10038, "Not a valid socket."},
    {10039, "A destination address is required."},
    {10040, "The message is larger than the buffer."},
    {10042, "Bad protocol option."},
    {10043, "Protocol not supported."},
    {10045, "Operation not supported."},
    {10047, "Address family not supported."},
    {10048, "The address is already in use."},
    {10049, "The address is not available."},
    {10050, "The network is down."},
    {10051, "The network is unreachable."},
    {10052, "The network dropped the connection."},
    {10053, "The connection was aborted."},
    {10054, "The connection was reset by the peer."},
    {10055, "No buffer space available."},
    {10056, "The socket is already connected."},
    {10057, "The socket is not connected."},
    {10058, "The socket has been shut down."},
    {10060, "The connection timed out."},
    {10061, "The connection was refused."},
    {10064, "The host is down."},
    {10065, "No route to the host."},
    {10093, "The network layer has not been started."},
    {11001, "Host not found."},
    {11002, "Host not found, try again later."},
    {11003, "The name server failed."},
    {11004, "The name has no address."},
};

thread_local int32_t lastError = 0;
// The errno or resolver code behind lastError, for the text of codes without one of their own.
thread_local int lastSystemError = 0;
thread_local bool lastFromResolver = false;

const char* OwnText(int32_t code) {
  for (const CodeText& entry : kCodeTexts) {
    if (entry.code == code) return entry.text;
  }
  return nullptr;
}

std::string SystemText() {
  if (lastSystemError == 0) return "";
  if (lastFromResolver) return gai_strerror(lastSystemError);
  char buffer[256];
  // The GNU variant returns the text, which may or may not sit in the buffer.
  return strerror_r(lastSystemError, buffer, sizeof buffer);
}

}  // namespace

int32_t SockErrorFromErrno(int err) {
  if (err == 0) return 0;
  for (const ErrnoCode& entry : kErrnoCodes) {
    if (entry.err == err) return entry.code;
  }
  return kSockErrInvalid;
}

int32_t SockErrorFromResolver(int eaiCode, int err) {
  switch (eaiCode) {
    case 0:
      return 0;
    case EAI_NONAME:
      return 11001;
    case EAI_AGAIN:
      return 11002;
    case EAI_FAIL:
      return 11003;
    case EAI_NODATA:
      return 11004;
    case EAI_SYSTEM:
      return SockErrorFromErrno(err);
    case EAI_MEMORY:
      return 10055;
    default:
      return 11003;
  }
}

int32_t SockGetLastError() {
  return lastError;
}

void SockSetLastError(int32_t code) {
  lastError = code;
  lastSystemError = 0;
  lastFromResolver = false;
}

void SockSetLastErrorFromErrno(int err) {
  lastError = SockErrorFromErrno(err);
  lastSystemError = err;
  lastFromResolver = false;
}

void SockSetLastErrorFromResolver(int eaiCode, int err) {
  if (eaiCode == EAI_SYSTEM) return SockSetLastErrorFromErrno(err);
  lastError = SockErrorFromResolver(eaiCode, err);
  lastSystemError = eaiCode;
  lastFromResolver = true;
}

std::string SockGetErrorText() {
  const char* own = OwnText(lastError);
  std::string text = own ? std::string(own) : SystemText();
  if (text.empty()) return "";
  char number[16];
  std::snprintf(number, sizeof number, "%d ", lastError);
  return number + text;
}
