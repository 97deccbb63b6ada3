#include "remote/LocalSocketChannel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tavik {

namespace {
Deadline After(int ms) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
}
}  // namespace

CLocalSocketChannel::CLocalSocketChannel(std::string folder)
    : m_folder(folder.empty() ? DefaultChannelFolder() : std::move(folder)) {}

CLocalSocketChannel::~CLocalSocketChannel() {
    for (auto& [title, fd] : m_connections)
        ::close(fd);
    for (int fd : m_clients)
        ::close(fd);
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        ::unlink(WindowSocketPath(m_folder, kSystemListeningTitle).c_str());
    }
}

bool CLocalSocketChannel::Listen() {
    if (m_listenFd >= 0) return true;
    m_listenFd = ListenWindow(WindowSocketPath(m_folder, kSystemListeningTitle));
    return m_listenFd >= 0;
}

bool CLocalSocketChannel::WindowExists(const std::string& title) {
    std::string path = WindowSocketPath(m_folder, title);
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) return false;
    return Connection(title) >= 0;
}

int CLocalSocketChannel::Connection(const std::string& title) {
    auto it = m_connections.find(title);
    if (it != m_connections.end()) return it->second;
    int fd = ConnectWindow(WindowSocketPath(m_folder, title));
    if (fd >= 0) m_connections[title] = fd;
    return fd;
}

void CLocalSocketChannel::Drop(const std::string& title) {
    auto it = m_connections.find(title);
    if (it == m_connections.end()) return;
    ::close(it->second);
    m_connections.erase(it);
}

bool CLocalSocketChannel::SendMessage(const std::string& title, uint32_t message, int64_t first,
                                      int64_t second, int timeoutMs, int64_t& result) {
    ChannelFrame frame;
    frame.type = ChannelFrame::Message;
    frame.message = message;
    frame.first = first;
    frame.second = second;
    return Request(title, frame, timeoutMs, result);
}

bool CLocalSocketChannel::SendCopyData(const std::string& title, uint32_t identifier,
                                       const std::vector<uint8_t>& bytes, int timeoutMs) {
    ChannelFrame frame;
    frame.type = ChannelFrame::CopyData;
    frame.sender = kSystemListeningTitle;
    frame.identifier = identifier;
    frame.bytes = bytes;
    int64_t result = 0;
    return Request(title, frame, timeoutMs, result) && result != 0;
}

bool CLocalSocketChannel::Request(const std::string& title, const ChannelFrame& frame,
                                  int timeoutMs, int64_t& result) {
    const Deadline deadline = After(timeoutMs);
    const std::vector<uint8_t> bytes = EncodeFrame(frame);
    // A kept connection may have been closed by the peer since (the write fails at once):
    // one fresh attempt then. A request that was delivered is never sent twice.
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = Connection(title);
        if (fd < 0) return false;
        if (!WriteAll(fd, bytes, deadline)) {
            Drop(title);
            continue;
        }
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (!Service(left.count() < 0 ? 0 : static_cast<int>(left.count()), fd)) {
                if (std::chrono::steady_clock::now() >= deadline) {
                    Drop(title);  // a late reply would be taken for the next request's
                    return false;
                }
                continue;
            }
            ChannelFrame reply;
            if (!ReadFrame(fd, reply, deadline) || reply.type != ChannelFrame::Result) {
                Drop(title);
                return false;
            }
            result = reply.result;
            return true;
        }
    }
    return false;
}

bool CLocalSocketChannel::Service(int timeoutMs, int replyFd) {
    std::vector<pollfd> fds;
    if (replyFd >= 0) fds.push_back({replyFd, POLLIN, 0});
    if (m_listenFd >= 0) fds.push_back({m_listenFd, POLLIN, 0});
    for (int fd : m_clients)
        fds.push_back({fd, POLLIN, 0});
    if (fds.empty()) return false;
    int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    if (ready <= 0) return false;
    size_t next = 0;
    bool replyReady = false;
    if (replyFd >= 0) replyReady = fds[next++].revents != 0;
    if (m_listenFd >= 0) {
        if (fds[next++].revents & POLLIN) {
            int client = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) m_clients.push_back(client);
        }
    }
    // Clients are handled from the back so that dropping one keeps the others' indexes.
    const size_t clientsPolled = fds.size() - next;
    for (size_t i = clientsPolled; i-- > 0;) {
        if (fds[next + i].revents != 0) HandleClient(i);
    }
    return replyReady;
}

void CLocalSocketChannel::HandleClient(size_t index) {
    const int fd = m_clients[index];
    ChannelFrame frame;
    ChannelFrame reply;
    reply.type = ChannelFrame::Result;
    if (!ReadFrame(fd, frame, After(500)) || frame.type == ChannelFrame::Result) {
        ::close(fd);
        m_clients.erase(m_clients.begin() + static_cast<long>(index));
        return;
    }
    if (frame.type == ChannelFrame::CopyData) {
        m_answerId = frame.identifier;
        m_answer = std::move(frame.bytes);
        reply.result = 1;
    }
    if (!WriteAll(fd, EncodeFrame(reply), After(500))) {
        ::close(fd);
        m_clients.erase(m_clients.begin() + static_cast<long>(index));
    }
}

}  // namespace tavik
