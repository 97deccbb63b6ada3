#include "EmulatorPeer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>

#include "remote/ChannelFrame.h"
#include "remote/EmulatorChannel.h"
#include "remote/LinkPort.h"

namespace tavik::test {

namespace {
tavik::Deadline After(int ms) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
}
}  // namespace

CEmulatorPeer::CEmulatorPeer(std::string folder) : m_folder(std::move(folder)) {}

CEmulatorPeer::~CEmulatorPeer() {
    Stop();
}

bool CEmulatorPeer::Start(bool listening, bool calling) {
    if (listening) {
        m_listening =
            tavik::ListenWindow(tavik::WindowSocketPath(m_folder, tavik::kEmulatorListeningTitle));
        if (m_listening < 0) return false;
    }
    if (calling) {
        m_calling =
            tavik::ListenWindow(tavik::WindowSocketPath(m_folder, tavik::kEmulatorCallingTitle));
        if (m_calling < 0) return false;
    }
    m_thread = std::thread([this] { Loop(); });
    return true;
}

void CEmulatorPeer::Stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    for (auto& [fd, calling] : m_clients)
        ::close(fd);
    m_clients.clear();
    if (m_answerFd >= 0) ::close(m_answerFd);
    m_answerFd = -1;
    if (m_listening >= 0) {
        ::close(m_listening);
        ::unlink(tavik::WindowSocketPath(m_folder, tavik::kEmulatorListeningTitle).c_str());
    }
    if (m_calling >= 0) {
        ::close(m_calling);
        ::unlink(tavik::WindowSocketPath(m_folder, tavik::kEmulatorCallingTitle).c_str());
    }
    m_listening = m_calling = -1;
}

void CEmulatorPeer::Loop() {
    while (!m_stop) {
        std::vector<pollfd> fds;
        if (m_listening >= 0) fds.push_back({m_listening, POLLIN, 0});
        if (m_calling >= 0) fds.push_back({m_calling, POLLIN, 0});
        for (auto& [fd, calling] : m_clients)
            fds.push_back({fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), 5) <= 0) continue;
        size_t i = 0;
        if (m_listening >= 0 && (fds[i++].revents & POLLIN)) {
            int fd = ::accept(m_listening, nullptr, nullptr);
            if (fd >= 0) m_clients.push_back({fd, false});
        }
        if (m_calling >= 0 && (fds[i++].revents & POLLIN)) {
            int fd = ::accept(m_calling, nullptr, nullptr);
            if (fd >= 0) m_clients.push_back({fd, true});
        }
        std::vector<std::pair<int, bool>> keep;
        const size_t polledClients = fds.size() - i;
        for (size_t c = 0; c < m_clients.size(); ++c) {
            auto [fd, calling] = m_clients[c];
            if (c < polledClients && fds[i + c].revents != 0 && !Handle(fd, calling)) {
                ::close(fd);
                continue;
            }
            keep.push_back({fd, calling});
        }
        m_clients = std::move(keep);
    }
}

bool CEmulatorPeer::Handle(int fd, bool calling) {
    tavik::ChannelFrame frame;
    if (!tavik::ReadFrame(fd, frame, After(500))) return false;
    tavik::ChannelFrame reply;
    reply.type = tavik::ChannelFrame::Result;
    if (frame.type == tavik::ChannelFrame::Message) {
        reply.result = calling ? PortMessage(frame.message, frame.first, frame.second) : 0;
    } else if (frame.type == tavik::ChannelFrame::CopyData) {
        if (calling) {
            reply.result = 0;
        } else if (!CopyData(frame.identifier, frame.bytes, reply.result)) {
            return true;  // no answer at all
        }
    } else {
        return false;
    }
    return tavik::WriteAll(fd, tavik::EncodeFrame(reply), After(500));
}

int64_t CEmulatorPeer::PortMessage(uint32_t message, int64_t first, int64_t second) {
    if (!m_device) return -1;
    std::lock_guard<std::mutex> lock(*m_deviceMutex);
    const int selector = static_cast<int>(first & 0xFF);
    const bool serial = (first & 0xF00) >= 0x200;
    if (message == tavik::kEmulatedPortWrite) {
        if (selector == 0xFF) m_device->Feed(static_cast<uint8_t>(second));
        return 1;
    }
    if (message != tavik::kEmulatedPortRead) return -1;
    switch (selector) {
        case 0x40:
            return 0;  // ready to take a byte, or to give one
        case 0x44:
            if (serial) return m_device->HasOutput() ? 0 : 0x2000;
            return 0x400;  // the exchange is complete
        case 0x01: {
            if (!m_device->HasOutput()) return -1;
            int byte = m_device->PeekOutput();
            m_device->PopOutput();
            return byte;
        }
        default:
            return 0;
    }
}

bool CEmulatorPeer::AnswerSystem(uint32_t identifier, const std::vector<uint8_t>& bytes) {
    tavik::ChannelFrame answer;
    answer.type = tavik::ChannelFrame::CopyData;
    answer.sender = tavik::kEmulatorListeningTitle;
    answer.identifier = identifier;
    answer.bytes = bytes;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (m_answerFd < 0)
            m_answerFd = tavik::ConnectWindow(
                tavik::WindowSocketPath(m_folder, tavik::kSystemListeningTitle));
        if (m_answerFd < 0) return false;
        tavik::ChannelFrame result;
        if (tavik::WriteAll(m_answerFd, tavik::EncodeFrame(answer), After(500)) &&
            tavik::ReadFrame(m_answerFd, result, After(500)))
            return result.result != 0;
        ::close(m_answerFd);
        m_answerFd = -1;
    }
    return false;
}

bool CEmulatorPeer::CopyData(uint32_t identifier, const std::vector<uint8_t>& bytes,
                             int64_t& result) {
    if (silent) return false;
    result = 0;
    switch (identifier) {
        case 0xA501: {
            if (bytes.size() < 2) return true;
            const int request = bytes[0] | (bytes[1] << 8);
            std::vector<uint8_t> list;
            for (auto& [letter, drive] : drives) {
                if (request != 1 && request != letter) continue;
                list.push_back(drive.tag);
                list.push_back(static_cast<uint8_t>(letter));
            }
            if (list.empty()) return true;
            result = AnswerSystem(0xA501, list) ? 1 : 0;
            return true;
        }
        case 0xA502:
        case 0xA503: {
            if (bytes.size() < (identifier == 0xA502 ? 16u : 270u)) return true;
            auto it = drives.find(static_cast<char>(bytes[0] + '0'));
            if (it == drives.end()) return true;
            const long sector = (bytes[1] << 8) | bytes[2];
            FILE* f = std::fopen(it->second.imagePath.c_str(), "r+b");
            if (!f) return true;
            std::vector<uint8_t> data(256);
            std::fseek(f, 0, SEEK_END);
            const bool inside = std::ftell(f) >= 256 * (sector + 1);
            std::fseek(f, 256 * sector, SEEK_SET);
            bool ok = inside;
            if (ok && identifier == 0xA502) {
                ok = std::fread(data.data(), 1, 256, f) == 256;
            } else if (ok) {
                ok = std::fwrite(bytes.data() + 14, 1, 256, f) == 256;
            }
            std::fclose(f);
            if (!ok) return true;
            if (identifier == 0xA503) {
                ++sectorWrites;
                result = 1;
                return true;
            }
            ++sectorReads;
            if (shortAnswer) data.resize(100);
            result = AnswerSystem(wrongIdentifier ? 0xA5FF : 0xA502, data) ? 1 : 0;
            return true;
        }
        case 0xA504: {
            std::string text = floppies;
            if (!bytes.empty() && bytes[0] != 0) {
                auto it = drives.find(static_cast<char>(bytes[0] + '0'));
                text = it == drives.end() ? "" : it->second.imagePath;
            }
            result = AnswerSystem(0xA504, std::vector<uint8_t>(text.begin(), text.end())) ? 1 : 0;
            return true;
        }
        default:
            return true;
    }
}

}  // namespace tavik::test
