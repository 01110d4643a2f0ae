#include "plugins/gnutella/tests/scriptedUploader.h"

#include <algorithm>
#include <cstdlib>

namespace vesk::gnutella::test {

bool gate::waitFor(int level, const std::atomic<bool>& giveUp) const {
    return net::test::waitFor([&] { return level_ >= level || giveUp; }, 20000) && level_ >= level;
}

bool scriptedUploader::connection::send(const std::string& bytes) {
    return net::test::sendAll(socket, std::vector<unsigned char>(bytes.begin(), bytes.end()), 20000);
}

bool scriptedUploader::connection::nextRequest(unsigned milliseconds) {
    request.clear();
    ULONGLONG end = GetTickCount64() + milliseconds;
    while (!*stopping && request.find("\r\n\r\n") == std::string::npos) {
        if (GetTickCount64() > end)
            return false;
        char byte;
        int n = recv(socket, &byte, 1, 0);  // the socket's reads time out every 200 ms
        if (n == 1)
            request += byte;
        else if (n == 0 || WSAGetLastError() != WSAETIMEDOUT)
            return false;
    }
    return request.find("\r\n\r\n") != std::string::npos;
}

void scriptedUploader::connection::close() {
    net::test::closePlain(socket);
    socket = INVALID_SOCKET;
}

void scriptedUploader::connection::hold() {
    net::test::waitFor([this] { return stopping->load(); }, 120000);
}

scriptedUploader::scriptedUploader() : acceptor_([this] { acceptLoop(); }) {}

scriptedUploader::~scriptedUploader() {
    stopping_ = true;
    acceptor_.join();
    for (std::thread& t : served_)
        t.join();
}

void scriptedUploader::then(script s) {
    std::lock_guard<std::mutex> hold(lock_);
    scripts_.push_back(std::move(s));
}

std::vector<std::string> scriptedUploader::requests() {
    std::lock_guard<std::mutex> hold(lock_);
    return requests_;
}

void scriptedUploader::acceptLoop() {
    while (!stopping_) {
        SOCKET s = listener_.acceptOne(50);
        if (s == INVALID_SOCKET)
            continue;
        ++accepted_;
        served_.emplace_back([this, s] { serve(s); });
    }
}

void scriptedUploader::serve(SOCKET s) {
    connection c;
    c.socket = s;
    c.stopping = &stopping_;
    // The request, up to its empty line, a byte at a time (nothing after it
    // is taken).
    DWORD wait = 200;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
    while (!stopping_ && c.request.find("\r\n\r\n") == std::string::npos) {
        char byte;
        int n = recv(s, &byte, 1, 0);
        if (n == 1)
            c.request += byte;
        else if (n == 0 || WSAGetLastError() != WSAETIMEDOUT)
            break;
    }
    script s2;
    {
        std::lock_guard<std::mutex> hold(lock_);
        requests_.push_back(c.request);
        if (!scripts_.empty()) {
            s2 = std::move(scripts_.front());
            scripts_.pop_front();
        }
    }
    if (s2)
        s2(c);
    else
        c.hold();
    c.close();
}

scriptedUploader::script SendsAndHolds(std::string bytes) {
    return [bytes](scriptedUploader::connection& c) {
        c.send(bytes);
        c.hold();
    };
}

scriptedUploader::script SendsAndCloses(std::string bytes) {
    return [bytes](scriptedUploader::connection& c) { c.send(bytes); };
}

namespace {

std::size_t requestedStart(const std::string& request) {
    std::size_t at = request.find("Range: bytes=");
    return at == std::string::npos ? 0 : std::strtoul(request.c_str() + at + 13, nullptr, 10);
}

}  // namespace

scriptedUploader::script CapsAnswers(const cappedSource& source) {
    return [source](scriptedUploader::connection& c) {
        const std::size_t size = source.file.size();
        for (;;) {
            {
                std::lock_guard<std::mutex> hold(*source.lock);
                source.requests->push_back(c.request);
            }
            std::size_t from = std::min(requestedStart(c.request), size);
            std::size_t to = std::min(from + source.cap, size);
            std::string answer = "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + std::to_string(from) + "-" +
                                 std::to_string(to - 1) + "/" + std::to_string(size) +
                                 "\r\nContent-Length: " + std::to_string(to - from) + "\r\n\r\n";
            if (!c.send(answer + source.file.substr(from, to - from)))
                return;
            if (to == size) {
                c.hold();
                return;
            }
            if (source.closeAfterEach || !c.nextRequest(source.waitMs)) {
                c.send("HTTP/1.1 400 Timeout waiting for follow-up\r\nContent-Length: 0\r\n\r\n");
                return;
            }
        }
    };
}

std::string FileBytes(unsigned seed, std::size_t from, std::size_t count) {
    std::vector<unsigned char> bytes = net::test::pattern(seed, from, count);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace vesk::gnutella::test
