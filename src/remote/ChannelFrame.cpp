#include "remote/ChannelFrame.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tavik {

namespace {

void Put(std::vector<uint8_t>& out, uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

class CReader {
public:
    CReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Get(uint64_t& value, int bytes) {
        if (m_size - m_pos < static_cast<size_t>(bytes)) return false;
        value = 0;
        for (int i = 0; i < bytes; ++i)
            value = (value << 8) | m_data[m_pos++];
        return true;
    }
    bool Take(size_t count, const uint8_t*& where) {
        if (m_size - m_pos < count) return false;
        where = m_data + m_pos;
        m_pos += count;
        return true;
    }
    bool AtEnd() const { return m_pos == m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

int RemainingMs(Deadline deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

bool ReadExact(int fd, uint8_t* out, size_t count, Deadline deadline) {
    size_t done = 0;
    while (done < count) {
        pollfd p{fd, POLLIN, 0};
        int ready = ::poll(&p, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        ssize_t n = ::recv(fd, out + done, count - done, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeFrame(const ChannelFrame& frame) {
    std::vector<uint8_t> body;
    body.push_back(frame.type);
    switch (frame.type) {
        case ChannelFrame::Message:
            Put(body, frame.message, 4);
            Put(body, static_cast<uint64_t>(frame.first), 8);
            Put(body, static_cast<uint64_t>(frame.second), 8);
            break;
        case ChannelFrame::CopyData: {
            size_t length = frame.sender.size() > 255 ? 255 : frame.sender.size();
            body.push_back(static_cast<uint8_t>(length));
            body.insert(body.end(), frame.sender.begin(), frame.sender.begin() + length);
            Put(body, frame.identifier, 4);
            Put(body, frame.bytes.size(), 4);
            body.insert(body.end(), frame.bytes.begin(), frame.bytes.end());
            break;
        }
        default:
            Put(body, static_cast<uint64_t>(frame.result), 8);
            break;
    }
    std::vector<uint8_t> out;
    out.reserve(4 + body.size());
    Put(out, body.size(), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

bool DecodeFrame(const uint8_t* body, size_t size, ChannelFrame& frame) {
    CReader r(body, size);
    uint64_t v = 0;
    if (!r.Get(v, 1)) return false;
    frame = ChannelFrame{};
    frame.type = static_cast<uint8_t>(v);
    switch (frame.type) {
        case ChannelFrame::Message:
            if (!r.Get(v, 4)) return false;
            frame.message = static_cast<uint32_t>(v);
            if (!r.Get(v, 8)) return false;
            frame.first = static_cast<int64_t>(v);
            if (!r.Get(v, 8)) return false;
            frame.second = static_cast<int64_t>(v);
            break;
        case ChannelFrame::CopyData: {
            const uint8_t* p = nullptr;
            if (!r.Get(v, 1) || !r.Take(v, p)) return false;
            frame.sender.assign(reinterpret_cast<const char*>(p), v);
            if (!r.Get(v, 4)) return false;
            frame.identifier = static_cast<uint32_t>(v);
            if (!r.Get(v, 4) || !r.Take(v, p)) return false;
            frame.bytes.assign(p, p + v);
            break;
        }
        case ChannelFrame::Result:
            if (!r.Get(v, 8)) return false;
            frame.result = static_cast<int64_t>(v);
            break;
        default:
            return false;
    }
    return r.AtEnd();
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes, Deadline deadline) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n =
            ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, RemainingMs(deadline)) <= 0) return false;
            continue;
        }
        return false;
    }
    return true;
}

bool ReadFrame(int fd, ChannelFrame& frame, Deadline deadline) {
    uint8_t head[4];
    if (!ReadExact(fd, head, 4, deadline)) return false;
    size_t size =
        (size_t{head[0]} << 24) | (size_t{head[1]} << 16) | (size_t{head[2]} << 8) | head[3];
    if (size == 0 || size > kMaxFrameBytes) return false;
    std::vector<uint8_t> body(size);
    if (!ReadExact(fd, body.data(), size, deadline)) return false;
    return DecodeFrame(body.data(), size, frame);
}

std::string WindowSocketPath(const std::string& folder, const std::string& title) {
    std::string path = folder + "/" + title;
    if (path.size() >= sizeof(sockaddr_un{}.sun_path)) return {};
    return path;
}

std::string DefaultChannelFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) return runtime;
    std::string folder = "/tmp/tavik-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    return folder;
}

int ConnectWindow(const std::string& path) {
    if (path.empty()) return -1;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int ListenWindow(const std::string& path) {
    if (path.empty()) return -1;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        // A socket file nobody listens on is left over from an ended run: replace it.
        int other = ConnectWindow(path);
        if (other >= 0) {
            ::close(other);
            ::close(fd);
            return -1;
        }
        ::unlink(path.c_str());
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd);
            return -1;
        }
    }
    if (::listen(fd, 8) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace tavik
