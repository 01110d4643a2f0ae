// A source of files on 127.0.0.1 for download tests: it accepts every
// connection, reads its request, and answers as the test scripted it. Each
// connection is served on a thread of its own, so that several can be held
// open at once.
#pragma once

#include <windows.h>
#include <winsock2.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "extern/net/tests/loopback.h"

namespace vesk::gnutella::test {

// A level the test raises and scripts wait for (bounded).
class gate {
public:
    void open(int level) { level_ = level; }
    // True once the level is reached, false after 20 s or when told to give up.
    bool waitFor(int level, const std::atomic<bool>& giveUp) const;

private:
    std::atomic<int> level_{0};
};

class scriptedUploader {
public:
    struct connection {
        SOCKET socket = INVALID_SOCKET;
        std::string request;  // the request's header, with its empty line
        const std::atomic<bool>* stopping = nullptr;

        bool send(const std::string& bytes);
        // Reads the next request on the connection into request; false when
        // none came within the time or the peer closed.
        bool nextRequest(unsigned milliseconds);
        void close();
        // Keeps the connection open, unanswered, until the uploader ends.
        void hold();
    };
    using script = std::function<void(connection&)>;

    scriptedUploader();
    // Stops accepting, ends every held connection and waits for the threads.
    ~scriptedUploader();
    scriptedUploader(const scriptedUploader&) = delete;
    scriptedUploader& operator=(const scriptedUploader&) = delete;

    unsigned short port() const { return listener_.port(); }
    // The script of the next connection that has none yet. A connection
    // without a script is held open.
    void then(script s);
    int accepted() const { return accepted_; }
    // The requests read so far, in the order they came.
    std::vector<std::string> requests();

private:
    void acceptLoop();
    void serve(SOCKET s);

    net::test::winsockSession winsock_;
    net::test::plainListener listener_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> accepted_{0};
    std::mutex lock_;
    std::deque<script> scripts_;
    std::vector<std::string> requests_;
    std::vector<std::thread> served_;
    std::thread acceptor_;
};

// Scripts that send the bytes, then hold the connection open (a keep-alive
// source that says nothing more) or close it.
scriptedUploader::script SendsAndHolds(std::string bytes);
scriptedUploader::script SendsAndCloses(std::string bytes);

// A source that caps each answer at cap bytes (a 206 from the requested
// byte, as current servents answer) and then, as they do, waits for a
// follow-up request on the same connection: none within waitMs, it sends
// an HTTP error text and closes. With closeAfterEach it sends that text
// and closes right after every answer instead. Each request it reads is
// added to requests (guarded by the caller's lock).
struct cappedSource {
    std::string file;
    std::size_t cap;
    unsigned waitMs;
    bool closeAfterEach;
    std::mutex* lock;
    std::vector<std::string>* requests;
};
scriptedUploader::script CapsAnswers(const cappedSource& source);

// The bytes of a test file: a pattern that shows loss, order and corruption.
std::string FileBytes(unsigned seed, std::size_t from, std::size_t count);

}  // namespace vesk::gnutella::test
