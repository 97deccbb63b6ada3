// Frames of the local-socket emulator channel. Every window is a Unix-domain stream socket named
// after its title in one folder (the user's runtime folder). A frame is a 4-byte big-endian
// length of what follows, a type byte and its fields, all numbers big-endian:
//   'M' message:   u32 message, i64 first parameter, i64 second parameter
//   'C' copy data: u8 length + sender title, u32 identifier, u32 count, count bytes
//   'R' result:    i64 result (the answer to one 'M' or 'C' frame, in order)
// A connection may carry any number of frames; each 'M' or 'C' is answered by one 'R'.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

struct ChannelFrame {
    enum Type : uint8_t { Message = 'M', CopyData = 'C', Result = 'R' };
    uint8_t type = Result;
    uint32_t message = 0;
    int64_t first = 0;
    int64_t second = 0;
    std::string sender;
    uint32_t identifier = 0;
    std::vector<uint8_t> bytes;
    int64_t result = 0;
};

constexpr size_t kMaxFrameBytes = 1 << 20;

// The bytes of a frame, length prefix included.
std::vector<uint8_t> EncodeFrame(const ChannelFrame& frame);
// Reads a frame body (without the length prefix); false when it is malformed.
bool DecodeFrame(const uint8_t* body, size_t size, ChannelFrame& frame);

using Deadline = std::chrono::steady_clock::time_point;

// Blocking helpers on a socket, bounded by the deadline. False on time-out, error or a
// malformed frame.
bool WriteAll(int fd, const std::vector<uint8_t>& bytes, Deadline deadline);
bool ReadFrame(int fd, ChannelFrame& frame, Deadline deadline);

// The socket path of a window title in a folder; "" when it would be too long for a socket.
std::string WindowSocketPath(const std::string& folder, const std::string& title);
// The user's runtime folder ($XDG_RUNTIME_DIR, else a private folder under /tmp).
std::string DefaultChannelFolder();
// Connected socket, or -1.
int ConnectWindow(const std::string& path);
// Listening socket at path (a stale socket file is replaced), or -1.
int ListenWindow(const std::string& path);

}  // namespace tavik
