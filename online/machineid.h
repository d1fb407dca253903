// Score GUIDs and the machine identifier they carry.
//
// The machine identifier is the hardware address of the first real network
// interface (in name order; loopback and virtual interfaces such as bridges,
// tunnels and containers' links are skipped): its six bytes, then two zero
// bytes, read as a little-endian 64-bit number.
#pragma once

#include "engine/base/str.h"

#include <cstdint>

// A new GUID: "%08x%08x%08x%08x" of the identifier's low and high 32 bits,
// the time in seconds and a random number. Without a network interface the
// first 16 digits are zeros.
str qmGenerateGUIDStr();

// True and id set when a hardware address was found; false leaves id unchanged.
bool GetHardwareFingerprint(long long& id);

namespace qm {

// The hardware address of the first real interface under a sysfs network
// class folder ("/sys/class/net" on a live system).
bool ReadHardwareAddress(const char* netClassFolder, unsigned char address[6]);

// The identifier made from a hardware address.
long long MachineIdFromAddress(const unsigned char address[6]);

// The GUID text of an identifier, a time and a random number.
str FormatScoreGuid(long long id, uint32_t time, uint32_t random);

}  // namespace qm
