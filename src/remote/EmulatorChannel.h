// How the system talks to an emulator running beside it: find a window by its title, send it a
// message with a time-out, send it a block of bytes with an identifier (a "copy data" message),
// and receive the emulator's answers into the system's own listening window. On Linux the
// windows are local sockets (CLocalSocketChannel); tests use the same channel against a peer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

// Window titles of the emulator link.
inline constexpr const char* kEmulatorCallingTitle = "Zantu calling";
inline constexpr const char* kEmulatorListeningTitle = "Zantu listening";
inline constexpr const char* kSystemListeningTitle = "TAVIK listening";
inline constexpr const char* kSystemListeningText = "This window is used to communicate with Zantu";

class CEmulatorChannel {
public:
    virtual ~CEmulatorChannel() = default;

    virtual bool WindowExists(const std::string& title) = 0;
    // False when the window is missing or did not answer within the time-out.
    virtual bool SendMessage(const std::string& title, uint32_t message, int64_t first,
                             int64_t second, int timeoutMs, int64_t& result) = 0;
    // Delivers identifier and bytes; true when the receiver answered with a non-zero result.
    // Answers that arrive meanwhile are kept by the listening window.
    virtual bool SendCopyData(const std::string& title, uint32_t identifier,
                              const std::vector<uint8_t>& bytes, int timeoutMs) = 0;

    // The last answer the listening window received.
    virtual uint32_t AnswerIdentifier() const = 0;
    virtual const std::vector<uint8_t>& AnswerBytes() const = 0;
    virtual void ClearAnswer() = 0;
};

}  // namespace tavik
