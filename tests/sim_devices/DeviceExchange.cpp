#include "tests/sim_devices/DeviceExchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <utility>

#include "core/RyByteArray.h"
#include "tests/support/CommandExchange.h"

namespace test {

sim::ScsiRequest RequestFor(CRyScsiCommand& command) {
  command.BuildCdb();
  sim::ScsiRequest request;
  request.cdb = CdbBytes(command);
  if (command.IsDataOut() != 0) {
    request.direction = sim::ScsiDirection::kOut;
    request.dataOut = PayloadBytes(command);
  } else {
    request.direction = sim::ScsiDirection::kIn;
    request.dataInLength = command.GetDataInLength();
  }
  return request;
}

sim::ScsiResult SendTo(sim::StorageDevice& device, CRyScsiCommand& command) {
  const sim::ScsiRequest request = RequestFor(command);
  sim::ScsiResult result = device.ExecuteScsi(request);
  if (result.scsiStatus == sim::ScsiResult::kGood && command.IsDataOut() == 0) {
    std::vector<std::uint8_t> received(command.GetDataInLength(), 0);
    std::copy_n(result.dataIn.begin(), std::min(result.dataIn.size(), received.size()),
                received.begin());
    command.StoreAnswer(*MakeByteArray(received));
  }
  return result;
}

std::vector<std::uint8_t> VendorCdb(std::initializer_list<std::uint8_t> leadingBytes) {
  std::vector<std::uint8_t> cdb(leadingBytes);
  cdb.resize(16, 0);
  return cdb;
}

sim::ScsiRequest DataInRequest(std::vector<std::uint8_t> cdb, std::uint32_t dataInLength) {
  sim::ScsiRequest request;
  request.cdb = std::move(cdb);
  request.direction = sim::ScsiDirection::kIn;
  request.dataInLength = dataInLength;
  return request;
}

sim::ScsiRequest DataOutRequest(std::vector<std::uint8_t> cdb, std::vector<std::uint8_t> dataOut) {
  sim::ScsiRequest request;
  request.cdb = std::move(cdb);
  request.direction = sim::ScsiDirection::kOut;
  request.dataOut = std::move(dataOut);
  return request;
}

sim::ScsiRequest NoDataRequest(std::vector<std::uint8_t> cdb) {
  sim::ScsiRequest request;
  request.cdb = std::move(cdb);
  return request;
}

std::vector<std::uint8_t> Pattern(std::size_t length, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 13);
  return bytes;
}

sim::SenseData SenseOf(const sim::ScsiResult& result) {
  return sim::SenseData::FromBytes(result.sense);
}

void ExpectRefused(sim::StorageDevice& device, const std::vector<RefusalCase>& cases) {
  for (const RefusalCase& refusal : cases) {
    SCOPED_TRACE(refusal.name);
    const sim::ScsiResult result = device.ExecuteScsi(refusal.request);
    EXPECT_EQ(result.scsiStatus, sim::ScsiResult::kCheckCondition);
    EXPECT_EQ(SenseOf(result), refusal.sense);
    EXPECT_EQ(result.sense.size(), sim::SenseData::kLength);
    EXPECT_TRUE(result.dataIn.empty());
  }
}

}  // namespace test

namespace sim {

std::ostream& operator<<(std::ostream& stream, const SenseData& sense) {
  return stream << std::hex << "key " << unsigned{sense.key} << ", " << std::setw(2)
                << std::setfill('0') << unsigned{sense.asc} << "/" << std::setw(2)
                << unsigned{sense.ascq} << std::dec;
}

}  // namespace sim
