// Measures rebuilding the TCP streams of a capture two ways, to choose the
// reassembly: this program's capture reader (libpcap, link layer, IP, TCP,
// connection table, stream reassembly), or libtins' stream follower fed by
// its file sniffer. Both only count the stream bytes they pass on; framing
// and decoding are left out. Prints the packets, stream bytes and seconds.
//
//   capture_reassembly_bench CAPTURE own|libtins
#include <tins/sniffer.h>
#include <tins/tcp_ip/stream_follower.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "capture/capture_reader.h"

namespace {

struct Counts {
  uint64_t packets = 0;
  uint64_t bytes = 0;
  uint64_t gaps = 0;
};

class CountingConsumer : public StreamConsumer {
 public:
  explicit CountingConsumer(Counts* counts) : counts_(counts) {}
  void on_bytes(const StreamChunk& chunk) override { counts_->bytes += chunk.size; }
  void on_gap(GapCause, uint64_t) override { ++counts_->gaps; }
  void on_end() override {}

 private:
  Counts* counts_;
};

class CountingFactory : public StreamConsumerFactory {
 public:
  explicit CountingFactory(Counts* counts) : counts_(counts) {}
  StreamConsumers make_consumers(const ConnectionInfo&) override {
    return StreamConsumers{std::make_unique<CountingConsumer>(counts_),
                           std::make_unique<CountingConsumer>(counts_)};
  }

 private:
  Counts* counts_;
};

bool run_own(const char* path, Counts* counts) {
  CountingFactory factory(counts);
  std::string error;
  auto reader = CaptureReader::open(path, 0, &factory, ConnectionLimits(), &error);
  if (reader == nullptr) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
  }
  while (reader->read_packet()) ++counts->packets;
  return true;
}

bool run_libtins(const char* path, Counts* counts) {
  Tins::FileSniffer sniffer(path);
  Tins::TCPIP::StreamFollower follower;
  follower.follow_partial_streams(true);
  follower.new_stream_callback([counts](Tins::TCPIP::Stream& stream) {
    stream.client_data_callback([counts](Tins::TCPIP::Stream& data) {
      counts->bytes += data.client_payload().size();
    });
    stream.server_data_callback([counts](Tins::TCPIP::Stream& data) {
      counts->bytes += data.server_payload().size();
    });
  });
  sniffer.sniff_loop([&](Tins::Packet& packet) {
    ++counts->packets;
    follower.process_packet(packet);
    return true;
  });
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool own = argc == 3 && std::strcmp(argv[2], "own") == 0;
  if (argc != 3 || (!own && std::strcmp(argv[2], "libtins") != 0)) {
    std::fprintf(stderr, "usage: capture_reassembly_bench CAPTURE own|libtins\n");
    return 2;
  }
  Counts counts;
  const auto start = std::chrono::steady_clock::now();
  if (!(own ? run_own(argv[1], &counts) : run_libtins(argv[1], &counts))) return 1;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-8s packets %llu stream bytes %llu gaps %llu seconds %.3f\n", argv[2],
              static_cast<unsigned long long>(counts.packets),
              static_cast<unsigned long long>(counts.bytes),
              static_cast<unsigned long long>(counts.gaps), seconds);
  return 0;
}
