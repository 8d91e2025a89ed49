// Test seams of the network layer: name resolution, the local address list, a guard that keeps
// traffic on 127.0.0.1 and a loopback-only bind address. All are off unless a test turns them on;
// the socket code in net/ consults them before it asks the system.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace platform {

// Answers a host name with an IPv4 address in network order, or false when the name is unknown.
using HostResolver = std::function<bool(std::string_view name, uint32_t& addressNetOrder)>;
// The machine's IPv4 addresses in network order, in interface order.
using LocalAddressProvider = std::function<std::vector<uint32_t>()>;

// An empty function removes the seam and the system is asked again.
void SetHostResolver(HostResolver resolver);
void SetLocalAddressProvider(LocalAddressProvider provider);
const HostResolver& InstalledHostResolver();
const LocalAddressProvider& InstalledLocalAddressProvider();

// While on, connects and datagrams to any address but 127.0.0.1 fail before reaching the wire.
void SetLoopbackGuard(bool on);
bool LoopbackGuardOn();

// While on, listeners and UDP binds use 127.0.0.1 instead of every interface.
void SetTestBindAddress(bool on);
bool TestBindAddressOn();

}  // namespace platform
