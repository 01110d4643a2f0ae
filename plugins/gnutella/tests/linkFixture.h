// The module's link code in the test's own process: the base fixture, plus
// a network service that dials 127.0.0.1 only, real agents for the rows, a
// protocol that records its states, the settings at their defaults (the
// listener on a free port), the node online and the clock replaced. Peers
// are the test's own sockets on 127.0.0.1; the test drives the threads'
// steps itself.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <string>
#include <vector>

#include "extern/net/tests/loopback.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/tests/gnutellaFixture.h"
#include "plugins/gnutella/tests/loopbackNetwork.h"
#include "vesk/ss.h"

namespace vesk::gnutella::test {

// The protocol the module shows its state through; it keeps every state.
class recordingProtocol : public objectBase, public ss::IProtocol {
public:
    recordingProtocol() {
        registerInterfaceOf<ss::IProtocol>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    std::vector<int> states() {
        std::lock_guard<std::mutex> hold(lock_);
        return states_;
    }
    int lastState() {
        std::lock_guard<std::mutex> hold(lock_);
        return states_.empty() ? -1 : states_.back();
    }

    void SetState(int state) override {
        std::lock_guard<std::mutex> hold(lock_);
        states_.push_back(state);
    }
    void SetName(const char*) override {}
    void SetDescription(const char*) override {}
    void SetShortName(const char*) override {}
    void SetParameter1(int) override {}
    void SetParameter2(int) override {}
    bool AddField(Istring*, Istring*, unsigned, int) override { return true; }
    bool IsFieldShown(Istring*, Istring*) override { return true; }
    const char* GetName() override { return "Gnutella"; }
    const char* GetDescription() override { return ""; }
    const char* GetShortName() override { return ""; }
    int GetParameter1() override { return 0; }
    int GetParameter2() override { return 0; }
    int GetState() override { return lastState(); }
    const char* GetStateText() override { return ""; }
    bool Connect() override { return true; }
    bool Disconnect() override { return true; }
    int StartSearch(ss::ISearchInst*) override { return 0; }
    int StopSearch(ss::ISearchInst*) override { return 0; }

private:
    std::mutex lock_;
    std::vector<int> states_;
};

class linkFixture : public gnutellaFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // The replaced clock.
    static void setNow(unsigned long tick);
    static unsigned long now();
    static void advance(unsigned long milliseconds) { setNow(now() + milliseconds); }

    // One turn of the listener thread's link steps (accept, then the link
    // machine), as the thread runs them.
    void stepInactive();
    // Runs the steps every millisecond until the condition holds, for up to
    // 10 s of real time; true once it held.
    template <class F>
    bool stepUntil(F condition) {
        return net::test::waitFor([&] {
            stepInactive();
            return condition();
        });
    }

    // The single link of the list, null when it holds none or several.
    static CGnutellaHost* onlyLink(guardedList<hostMap>& list);
    // The listener's port (InitNetwork on a free port).
    unsigned short listenPort();

    // What the peer reads: exactly count bytes (fewer when it closes or
    // the time is up).
    static std::string peerReads(SOCKET peer, std::size_t count);
    static bool peerSends(SOCKET peer, const std::string& text);
    // Whether the peer's connection is closed from this node's side (the
    // rest of what arrived is dropped).
    static bool peerSeesClose(SOCKET peer);

    // Puts a host into the host cache and its key at the end of the queue,
    // as a pong would, without the filter (tests dial 127.0.0.1 only).
    static void cacheHost(const char* address, std::uint16_t port);

    // A row's attribute named by a resource text, as text.
    static std::string rowText(ss::IAgent* row, unsigned nameId);

    net::test::winsockSession winsock;
    capsule<loopbackNetwork>* network = nullptr;  // one reference held
    capsule<recordingProtocol>* protocol = nullptr;  // one reference held
};

}  // namespace vesk::gnutella::test
