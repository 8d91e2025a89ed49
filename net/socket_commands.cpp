// The socket and HTTP commands over the socket layer and HTTP GET.
#include "net/socket_commands.h"

#include <arpa/inet.h>

#include <memory>
#include <new>
#include <string>

#include "net/http_get.h"
#include "net/socket_layer.h"

namespace {

// The texts handed back here (addresses, error texts) never hold a zero byte.
Str StrFromText(const char* text) {
  Str s;
  StrFromCString(s, text);
  return s;
}

SockAddress HostOrderTarget(int32_t address, int32_t port) {
  return SockAddress{htonl(uint32_t(address)), htons(uint16_t(port))};
}

}  // namespace

bool NetStartup() {
  return SockStartup();
}

void NetShutdown() {
  SockShutdown();
}

int32_t NetTcpListen(int32_t port) {
  return SockTcpListen(uint16_t(port));
}

int32_t NetTcpConnect(const Str& host, int32_t port, int32_t timeoutMs) {
  const SockAddress target = SockResolveHost(host.data, uint16_t(port));
  if (SockAddressIsNone(target)) return -1;
  return SockTcpConnect(target, timeoutMs);
}

int32_t NetTcpAccept(int32_t row, int32_t& peerAddress) {
  SockAddress peer{0, 0};
  const int32_t accepted = SockTcpAccept(row, &peer);
  if (accepted >= 0) peerAddress = int32_t(SockAddressToHost(peer));
  return accepted;
}

int32_t NetUdpOpen(int32_t port) {
  return SockUdpOpen(uint16_t(port));
}

int32_t NetSockSendString(int32_t row, const Str& text) {
  return SockSend(row, text.data, int32_t(text.length), nullptr);
}

int32_t NetUdpSendString(int32_t row, const Str& text, int32_t address, int32_t port) {
  const SockAddress target = HostOrderTarget(address, port);
  return SockSend(row, text.data, int32_t(text.length), &target);
}

int32_t NetSockRecvString(int32_t row, Str& text, int32_t maxCount) {
  StrAssignCString(text, "");
  if (maxCount <= 0) return 0;
  // No single receive delivers anywhere near this; the cap keeps within a string's reach.
  if (uint32_t(maxCount) > kStrMaxReserve) maxCount = int32_t(kStrMaxReserve);
  StrReserve(text, uint32_t(maxCount), false);
  const int32_t count = SockRecv(row, text.data, maxCount, false);
  if (count <= 0) {
    text.data[0] = '\0';
    return count;
  }
  text.data[count] = '\0';
  text.length = uint32_t(count);
  return count;
}

bool NetSockClose(int32_t row) {
  return SockClose(row) == 0;
}

int32_t NetSetBlocking(int32_t row, int32_t blocking) {
  return SockSetBlocking(row, blocking != 0);
}

int32_t NetGetHostIp(const Str& host) {
  const SockAddress found = SockResolveHost(host.data, 0);
  if (SockAddressIsNone(found)) return -1;
  return int32_t(SockAddressToHost(found));
}

Str NetIpToString(int32_t address) {
  return StrFromText(SockIpToString(htonl(uint32_t(address))).c_str());
}

int32_t NetGetRemoteIp(int32_t row) {
  return int32_t(SockAddressToHost(SockGetRemoteAddress(row)));
}

int32_t NetGetRemotePort(int32_t row) {
  return SockPortToHost(SockGetRemoteAddress(row));
}

Str NetGetLocalIpList() {
  SockStartup();
  int32_t count = 0;
  std::string list = SockGetLocalIpList(count, "|");
  SockShutdown();
  if (!list.empty()) list.pop_back();
  return StrFromText(list.c_str());
}

Str NetGetLastErrorText() {
  return StrFromText(SockGetErrorText().c_str());
}

int32_t NetHttpGetFile(const Str& host, const Str& path, int32_t port, const Str& fileName,
                       int32_t timeoutMs) {
  return HttpGet(host.data, path.data, port, fileName.data, nullptr, 0, timeoutMs);
}

Str NetHttpGetString(const Str& host, const Str& path, int32_t port, int32_t maxLength,
                     int32_t timeoutMs) {
  const size_t size = maxLength < 0 ? 1 : size_t(maxLength) + 1;
  // One byte beyond the size the fetch may fill, as the buffer is handed down.
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[size + 1]);
  if (!buffer) return StrFromText("");
  buffer[0] = '\0';
  if (!HttpGet(host.data, path.data, port, nullptr, buffer.get(), size, timeoutMs)) {
    return StrFromText("");
  }
  return StrFromText(buffer.get());
}
