// Writes the benchmark's packet capture: card payments over many TCP
// connections to one host port, each message in one segment after a 2-byte
// big-endian length. Purchase requests (0200) and their responses (0210)
// carry about a kilobyte each, so a million messages make about 1 GB.
// Connections open with a handshake, run their share of transactions
// interleaved with the others, and close with FIN both ways.
//
//   make_bench_capture OUTPUT MESSAGES [PORT]
#include <pcap/dlt.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture/capture_writer.h"
#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "decode/message_text.h"
#include "pack/message_packer.h"

namespace {

constexpr int kOpenConnections = 50;
constexpr int kTransactionsPerConnection = 1000;
constexpr int kTemplates = 1000;         // distinct STANs and amounts
constexpr size_t kPrivateDataBytes = 670;  // field 48, echoed in the response
constexpr int64_t kPacketGap = 20;       // µs between packets
constexpr int64_t kStart = int64_t{1796635815} * 1000000;  // 2026-12-07T09:30:15Z

std::string read_text(const std::string& path) {
  std::string text;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, count);
    std::fclose(file);
  }
  return text;
}

// The decoder of the repository's definition file.
const Decoder& sample_decoder() {
  static const Decoder decoder(
      parse_definitions(read_text(std::string(SOURCE_DIR) + "/bitmap.ini")).dialect);
  return decoder;
}

// Field 55 of a sample message under examples/.
std::string chip_data_of(const char* sample) {
  std::string bytes;
  read_message_text(read_text(std::string(SOURCE_DIR) + "/examples/" + sample + ".hex"), 0, &bytes);
  DecodedMessage message;
  sample_decoder().decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                          &message);
  const DecodedField* field = message.find(55);
  return field != nullptr ? std::string(reinterpret_cast<const char*>(field->data), field->length)
                          : std::string();
}

std::string pack(const char* type, std::vector<PackField> fields) {
  PackRequest request;
  request.type_indicator = type;
  // The secondary bitmap is always there; saying so lets other decoders
  // read the 16 bytes as the bitmap too.
  request.has_bit1 = request.bit1 = true;
  request.fields = std::move(fields);
  std::string message, error;
  if (!pack_message(sample_decoder().dialect(), request, &message, &error)) {
    std::fprintf(stderr, "make_bench_capture: %s\n", error.c_str());
    std::exit(1);
  }
  const size_t length = message.size();
  return std::string{static_cast<char>(length >> 8), static_cast<char>(length)} + message;
}

// One request and its response, framed.
struct Transaction {
  std::string request;
  std::string response;
};

Transaction make_transaction(int index, const std::string& purchase_chip,
                             const std::string& response_chip) {
  char stan[8], amount[16];
  std::snprintf(stan, sizeof stan, "%06d", index + 1);
  std::snprintf(amount, sizeof amount, "%012d", 1000 + index * 37);
  std::string private_data = "PD";
  while (private_data.size() < kPrivateDataBytes) private_data += "0123456789ABCDEF";
  private_data.resize(kPrivateDataBytes);
  const std::vector<PackField> shared = {
      {2, "6222021234567890123"}, {3, "000000"}, {4, amount}, {7, "1207093015"}, {11, stan},
      {12, "093015"}, {13, "1207"}, {25, "00"}, {32, "48020000"},
      {37, std::string("634109") + stan}, {41, "TERM0001"}, {42, "898310054110001"},
      {48, private_data}, {49, "156"}};
  std::vector<PackField> request = shared;
  request.insert(request.end(), {{14, "2912"}, {18, "5411"}, {22, "051"}, {23, "001"},
                                 {43, "SHANGHAI DAILY FRESH MARKET  SHANGHAI CN"},
                                 {55, purchase_chip}});
  std::vector<PackField> response = shared;
  response.insert(response.end(), {{38, "A1B2C3"}, {39, "00"}, {55, response_chip}});
  return Transaction{pack("0200", request), pack("0210", response)};
}

// One connection of the capture.
struct Connection {
  Endpoint client;
  Endpoint server;
  uint32_t next[2] = {1, 1};  // client's, server's
  int transactions = 0;
  const Transaction* waiting = nullptr;  // the request sent, not yet answered
};

class Traffic {
 public:
  Traffic(CaptureWriter* writer, int port) : writer_(writer), port_(port) {}

  void open(Connection* connection) {
    connection->client = address(10, 1, static_cast<uint8_t>(opened_ >> 8),
                                 static_cast<uint8_t>(opened_),
                                 static_cast<uint16_t>(40000 + opened_ % 20000));
    connection->server = address(10, 0, 0, 2, static_cast<uint16_t>(port_));
    ++opened_;
    connection->next[0] = 1000000u * static_cast<uint32_t>(opened_);
    connection->next[1] = 7000000u * static_cast<uint32_t>(opened_);
    send(connection, true, "", kTcpSyn);
    send(connection, false, "", kTcpSyn | kTcpAck);
    send(connection, true, "", kTcpAck);
    connection->transactions = 0;
    connection->waiting = nullptr;
  }

  void close(Connection* connection) {
    send(connection, true, "", kTcpFin | kTcpAck);
    send(connection, false, "", kTcpFin | kTcpAck);
    send(connection, true, "", kTcpAck);
  }

  void send(Connection* connection, bool from_client, const std::string& payload, uint8_t flags) {
    OutgoingSegment segment;
    segment.time = kStart + packets_++ * kPacketGap;
    segment.source = from_client ? connection->client : connection->server;
    segment.destination = from_client ? connection->server : connection->client;
    uint32_t& sequence = connection->next[from_client ? 0 : 1];
    segment.sequence = sequence;
    segment.acknowledgement = connection->next[from_client ? 1 : 0];
    segment.flags = flags;
    segment.payload = payload;
    writer_->write(segment);
    sequence += static_cast<uint32_t>(payload.size()) + ((flags & (kTcpSyn | kTcpFin)) ? 1 : 0);
  }

 private:
  static Endpoint address(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint16_t port) {
    Endpoint endpoint;
    endpoint.address[0] = a;
    endpoint.address[1] = b;
    endpoint.address[2] = c;
    endpoint.address[3] = d;
    endpoint.port = port;
    return endpoint;
  }

  CaptureWriter* writer_;
  int port_;
  int opened_ = 0;
  int64_t packets_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_bench_capture OUTPUT MESSAGES [PORT]\n");
    return 2;
  }
  const long messages = std::atol(argv[2]);
  const int port = argc > 3 ? std::atoi(argv[3]) : 8583;
  if (!sample_decoder().dialect().defines(128)) return 1;
  const std::string purchase_chip = chip_data_of("purchase");
  const std::string response_chip = chip_data_of("response");
  std::vector<Transaction> transactions;
  for (int k = 0; k < kTemplates; ++k) {
    transactions.push_back(make_transaction(k, purchase_chip, response_chip));
  }

  CaptureWriter writer(argv[1], DLT_EN10MB);
  if (!writer.ok()) {
    std::fprintf(stderr, "make_bench_capture: cannot write %s\n", argv[1]);
    return 1;
  }
  Traffic traffic(&writer, port);
  std::vector<Connection> connections(kOpenConnections);
  for (Connection& connection : connections) traffic.open(&connection);
  long written = 0;
  int next_template = 0;
  // Round after round, each connection answers its waiting request and
  // sends its next one, so responses come a round after their requests.
  while (written < messages) {
    for (Connection& connection : connections) {
      if (connection.waiting != nullptr && written < messages) {
        traffic.send(&connection, false, connection.waiting->response, kTcpAck | kTcpPush);
        connection.waiting = nullptr;
        ++written;
      }
      if (connection.transactions == kTransactionsPerConnection) {
        traffic.close(&connection);
        traffic.open(&connection);
      }
      if (written < messages) {
        connection.waiting = &transactions[next_template];
        next_template = (next_template + 1) % kTemplates;
        traffic.send(&connection, true, connection.waiting->request, kTcpAck | kTcpPush);
        ++connection.transactions;
        ++written;
      }
    }
  }
  for (Connection& connection : connections) traffic.close(&connection);
  return 0;
}
