// Name lookups of the socket layer: host names to addresses and the machine's own address list.
// Both go through the platform seams first, so tests never ask a name server.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "net/socket_layer.h"
#include "platform/net_seams.h"

namespace {

constexpr size_t kLocalListLimit = 2047;
constexpr size_t kFirstLineLimit = 1023;
// Tried last when this machine's own addresses do not resolve.
constexpr const char* kLocalHostName = "localhost";

// Every IPv4 address the resolver gives for the name, network order; false with the last error
// set.
bool ResolveAll(const char* name, std::vector<uint32_t>& addresses) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int result = getaddrinfo(name, nullptr, &hints, &found);
  if (result != 0) {
    SockSetLastErrorFromResolver(result, errno);
    return false;
  }
  for (addrinfo* entry = found; entry; entry = entry->ai_next) {
    addresses.push_back(reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr);
  }
  freeaddrinfo(found);
  return !addresses.empty();
}

// The first IPv4 address of the name, network order; false with the last error set.
bool LookupAddress(const char* name, uint32_t& address) {
  if (const platform::HostResolver& resolver = platform::InstalledHostResolver()) {
    if (resolver(name, address)) return true;
    SockSetLastError(kSockErrHostNotFound);
    return false;
  }
  std::vector<uint32_t> addresses;
  if (!ResolveAll(name, addresses)) return false;
  address = addresses.front();
  return true;
}

// Every address the host name resolves to: the route when the interfaces cannot be listed.
bool HostNameAddresses(std::vector<uint32_t>& addresses) {
  char name[128] = {};
  if (gethostname(name, sizeof name - 1) != 0) {
    SockSetLastErrorFromErrno(errno);
    return false;
  }
  return ResolveAll(name, addresses);
}

// The IPv4 addresses of the interfaces that are up; loopback only when nothing else exists, as
// a machine without a network reports just 127.0.0.1.
bool InterfaceAddresses(std::vector<uint32_t>& addresses) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return HostNameAddresses(addresses);
  for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET) continue;
    if (!(entry->ifa_flags & IFF_UP) || (entry->ifa_flags & IFF_LOOPBACK)) continue;
    addresses.push_back(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
  }
  freeifaddrs(list);
  if (addresses.empty()) addresses.push_back(htonl(INADDR_LOOPBACK));
  return true;
}

bool LocalAddresses(std::vector<uint32_t>& addresses) {
  if (const platform::LocalAddressProvider& provider = platform::InstalledLocalAddressProvider()) {
    addresses = provider();
    return true;
  }
  return InterfaceAddresses(addresses);
}

}  // namespace

std::string SockGetLocalIpList(int32_t& count, const char* separator) {
  count = 0;
  std::vector<uint32_t> addresses;
  if (!LocalAddresses(addresses)) return "";
  const std::string sep = separator ? separator : "";
  std::string list;
  bool loopbackSeen = false;
  for (uint32_t address : addresses) {
    const std::string text = SockIpToString(address);
    if (list.size() + text.size() + sep.size() > kLocalListLimit) break;
    if (address == htonl(INADDR_LOOPBACK)) {
      loopbackSeen = true;
      continue;
    }
    list += text + sep;
    ++count;
  }
  if (loopbackSeen) {
    list += "127.0.0.1" + sep;
    ++count;
  }
  return list;
}

SockAddress SockResolveHost(const char* name, uint16_t port) {
  uint32_t address = 0;
  bool found;
  if (name && *name) {
    found = LookupAddress(name, address);
  } else {
    int32_t count = 0;
    const std::string list = SockGetLocalIpList(count, "\n");
    const std::string firstLine = list.substr(0, std::min(list.find('\n'), kFirstLineLimit));
    found = (count > 0 && LookupAddress(firstLine.c_str(), address)) ||
            LookupAddress("127.0.0.1", address) || LookupAddress(kLocalHostName, address);
  }
  if (!found) return SockAddress{0, 0};
  SockSetLastError(0);
  return SockAddress{address, htons(port)};
}
