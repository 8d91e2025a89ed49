// The battery level: stands in for the system power status. Linux describes its power supplies
// as folders under /sys/class/power_supply, each with a "type" file and, for batteries, a
// "capacity" file in percent.
//
// What Linux cannot do: nothing is missing; a machine without a battery (a desktop, a container)
// has no such folder entry and answers as the system power status does for an unknown level.
//
// Test seam: the folder read can be replaced by a fake tree of the same shape.
#pragma once

#include <string>

namespace platform {

// Percent 0..100 of the first supply, in name order, whose type is "Battery" and whose capacity
// reads as a number, skipping device batteries (a wireless mouse or headset); 255 when there is
// none.
int BatteryPercent();

// Test seam: the folder holding the supplies; empty puts /sys/class/power_supply back.
void SetPowerSupplyFolder(const std::string& folder);

}  // namespace platform
