// The emulator channel on local (Unix-domain) sockets: each window is a socket named after its
// title in one folder; frames as in ChannelFrame.h. The system's listening window is a socket of
// its own, serviced while a request waits for its result, so an emulator may answer a request
// by sending its answer to the listening window before it returns the request's result.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "remote/ChannelFrame.h"
#include "remote/EmulatorChannel.h"

namespace tavik {

class CLocalSocketChannel : public CEmulatorChannel {
public:
    // folder: where the window sockets live ("" for the user's runtime folder).
    explicit CLocalSocketChannel(std::string folder = {});
    ~CLocalSocketChannel() override;
    CLocalSocketChannel(const CLocalSocketChannel&) = delete;
    CLocalSocketChannel& operator=(const CLocalSocketChannel&) = delete;

    // Creates the listening window; false when another program holds it.
    bool Listen();
    const std::string& Folder() const { return m_folder; }

    bool WindowExists(const std::string& title) override;
    bool SendMessage(const std::string& title, uint32_t message, int64_t first, int64_t second,
                     int timeoutMs, int64_t& result) override;
    bool SendCopyData(const std::string& title, uint32_t identifier,
                      const std::vector<uint8_t>& bytes, int timeoutMs) override;
    uint32_t AnswerIdentifier() const override { return m_answerId; }
    const std::vector<uint8_t>& AnswerBytes() const override { return m_answer; }
    void ClearAnswer() override {
        m_answerId = 0;
        m_answer.clear();
    }

    // Services the listening window once without waiting.
    void Pump() { Service(0); }

private:
    bool Request(const std::string& title, const ChannelFrame& frame, int timeoutMs,
                 int64_t& result);
    int Connection(const std::string& title);
    void Drop(const std::string& title);
    // Waits up to timeoutMs for traffic on the listening window and the reply socket; returns
    // true when replyFd has bytes to read.
    bool Service(int timeoutMs, int replyFd = -1);
    void HandleClient(size_t index);

    std::string m_folder;
    int m_listenFd = -1;
    std::vector<int> m_clients;
    std::map<std::string, int> m_connections;
    uint32_t m_answerId = 0;
    std::vector<uint8_t> m_answer;
};

}  // namespace tavik
