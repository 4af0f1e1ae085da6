#pragma once
// Sends ombra's command objects to an emulated device the way a transport's
// SendCommand does, so that device and program are held to the same CDB,
// payload and answer layouts.

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "player/RyScsiCommand.h"
#include "sim/ScsiSense.h"
#include "sim/StorageDevice.h"

namespace test {

// BuildCdb; the request carries the CDB, the direction (in for a data-in
// command, out for any other, as IsDataOut says), the payload and the
// data-in length. A GOOD answer of a data-in command is stored in the
// command as the transport stores it: a zero-filled buffer of the data-in
// length that receives the bytes sent.
sim::ScsiResult SendTo(sim::StorageDevice& device, CRyScsiCommand& command);

sim::ScsiRequest RequestFor(CRyScsiCommand& command);

// A raw 16-byte vendor CDB from its leading bytes.
std::vector<std::uint8_t> VendorCdb(std::initializer_list<std::uint8_t> leadingBytes);

sim::ScsiRequest DataInRequest(std::vector<std::uint8_t> cdb, std::uint32_t dataInLength);
sim::ScsiRequest DataOutRequest(std::vector<std::uint8_t> cdb, std::vector<std::uint8_t> dataOut);
sim::ScsiRequest NoDataRequest(std::vector<std::uint8_t> cdb);

// Bytes that no fill reproduces.
std::vector<std::uint8_t> Pattern(std::size_t length, std::uint8_t seed);

sim::SenseData SenseOf(const sim::ScsiResult& result);

struct RefusalCase {
  const char* name;
  sim::ScsiRequest request;
  sim::SenseData sense;
};
// Each request ends in CHECK CONDITION with its sense, 18 bytes, and no
// data.
void ExpectRefused(sim::StorageDevice& device, const std::vector<RefusalCase>& cases);

}  // namespace test

namespace sim {
// Key, ASC and ASCQ in test messages.
std::ostream& operator<<(std::ostream& stream, const SenseData& sense);
}  // namespace sim
