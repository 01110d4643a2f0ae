#include <atomic>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/string.h"
#include "plugins/Ombrel/tests/managerFixture.h"

namespace vesk::ss::test {
namespace {

// What the test protocols' callbacks did, in order.
std::vector<std::string> callbackLog;
bool outcomeA = true, outcomeB = true;

bool connectA() { callbackLog.push_back("connect A"); return outcomeA; }
bool disconnectA() { callbackLog.push_back("disconnect A"); return outcomeA; }
bool connectB() { callbackLog.push_back("connect B"); return outcomeB; }
bool disconnectB() { callbackLog.push_back("disconnect B"); return outcomeB; }
int stopOnly(ISearchInst*) { return 0; }

ProtocolRegistration registration(IProtocol** out, const char* name, ProtocolConnectFn on,
                                  ProtocolConnectFn off) {
    return ProtocolRegistration{out, name, "description", "short", 4, 5, on, off, nullptr, nullptr};
}

class Protocols : public managerFixture {
protected:
    void SetUp() override {
        managerFixture::SetUp();
        callbackLog.clear();
        outcomeA = outcomeB = true;
    }

    IProtocol* add(const char* name, ProtocolConnectFn on, ProtocolConnectFn off) {
        IProtocol* p = nullptr;
        EXPECT_EQ(manager->RegisterProtocol(registration(&p, name, on, off)), 1);
        return p;
    }

    static Istring* text(const char* t) { return new vesk::string(t); }
};

TEST_F(Protocols, RegistrationCopiesTheRecordAndRefusesIncompleteOnes) {
    char name[16] = "Gnutella";
    IProtocol* p = nullptr;
    ASSERT_EQ(manager->RegisterProtocol(registration(&p, name, connectA, disconnectA)), 1);
    name[0] = 'X';
    EXPECT_STREQ(p->GetName(), "Gnutella");
    EXPECT_STREQ(p->GetShortName(), "short");
    EXPECT_EQ(p->GetParameter1(), 4);
    EXPECT_EQ(p->GetParameter2(), 5);
    EXPECT_EQ(manager->GetProtocolCount(), 1);

    EXPECT_EQ(manager->RegisterProtocol(registration(nullptr, "none", connectA, nullptr)), 0);
    IProtocol* refused = nullptr;
    ProtocolRegistration stopOnlyRecord{&refused, "stop only", "", "", 0, 0, nullptr, nullptr, nullptr, stopOnly};
    EXPECT_EQ(manager->RegisterProtocol(stopOnlyRecord), 0);
    ASSERT_NE(refused, nullptr) << "the object is handed out all the same";
    EXPECT_EQ(manager->GetProtocolCount(), 1);

    // An unlisted protocol has no manager: its fields are logged as failures.
    ref<Istring> field(text("Size")), list(text("Results"));
    EXPECT_TRUE(refused->AddField(field.get(), list.get(), vt::ulongV, 1));
    EXPECT_FALSE(refused->IsFieldShown(field.get(), list.get()));
    std::vector<std::string> lines = logObject->lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "CProtocol::AddField (Size) Failure - m_SSManager == NULL\r\n");
    ref<IProtocol> drop(refused);

    manager->UnregisterProtocol(refused);  // not listed: nothing happens
    EXPECT_EQ(manager->GetProtocolCount(), 1);
    manager->UnregisterProtocol(p);
    EXPECT_EQ(manager->GetProtocolCount(), 0);
}

TEST_F(Protocols, FieldTypesAndDisplayLevels) {
    ref<Istring> size(text("Size")), results(text("Results")), history(text("History"));
    ASSERT_TRUE(manager->AddField(size.get(), results.get(), vt::longV, 100));
    ASSERT_TRUE(manager->AddField(size.get(), history.get(), vt::ulongV, 99));
    ref<Istring> sameText(text("Size"));
    EXPECT_EQ(manager->GetFieldTypes()->find(value(sameText.get())).asUlong(), vt::ulongV)
        << "one entry per field, with the last type given";
    EXPECT_EQ(manager->GetFieldTypes()->size(), 1u);

    struct row {
        int mode;
        Istring* list;
        bool shown;
    } rows[] = {{100, results.get(), true}, {100, history.get(), false}, {99, history.get(), true},
                {101, results.get(), false}};
    for (const row& r : rows) {
        manager->SetDisplayMode(r.mode);
        EXPECT_EQ(manager->IsFieldShown(sameText.get(), r.list), r.shown) << r.mode;
    }
    ref<Istring> cold(text("Cold"));
    manager->AddField(cold.get(), results.get(), vt::longV, -5);
    manager->SetDisplayMode(-10);
    EXPECT_TRUE(manager->IsFieldShown(cold.get(), results.get()));
    EXPECT_FALSE(manager->IsFieldShown(cold.get(), history.get())) << "never added";

    // A protocol's own levels, compared with the manager's display mode.
    IProtocol* p = add("P", connectA, disconnectA);
    ref<Istring> speed(text("Speed"));
    p->AddField(speed.get(), results.get(), vt::longV, 50);
    manager->SetDisplayMode(50);
    EXPECT_TRUE(p->IsFieldShown(speed.get(), results.get()));
    EXPECT_TRUE(manager->IsFieldShown(speed.get(), results.get()));
    manager->SetDisplayMode(51);
    EXPECT_FALSE(p->IsFieldShown(speed.get(), results.get()));
}

TEST_F(Protocols, ConnectAllOutcomes) {
    struct row {
        bool connect, a, b;
        bool any, connected;
    } rows[] = {
        {true, true, false, true, false},   // the flag follows the last protocol
        {true, false, true, true, true},
        {true, false, false, false, false},
        {false, true, true, true, false},
        {false, true, false, true, true},
    };
    add("A", connectA, disconnectA);
    add("B", connectB, disconnectB);
    for (const row& r : rows) {
        outcomeA = r.a;
        outcomeB = r.b;
        callbackLog.clear();
        EXPECT_EQ(manager->ConnectAll(r.connect), r.any);
        EXPECT_EQ(manager->IsConnected(), r.connected);
        std::string verb = r.connect ? "connect" : "disconnect";
        EXPECT_EQ(callbackLog, (std::vector<std::string>{verb + " A", verb + " B"}));
    }
}

bool connectThrows() { throw 5; }

TEST_F(Protocols, AThrowingConnectCountsAsAFailureAndTheOthersGoOn) {
    add("Broken", connectThrows, connectThrows);
    add("B", connectB, disconnectB);
    outcomeB = false;
    EXPECT_FALSE(manager->ConnectAll(true));
    EXPECT_FALSE(manager->IsConnected());
    outcomeB = true;
    EXPECT_TRUE(manager->ConnectAll(false));
    EXPECT_FALSE(manager->IsConnected());
    EXPECT_EQ(callbackLog, (std::vector<std::string>{"connect B", "disconnect B"}));
}

TEST_F(Protocols, WithoutProtocolsConnectAllChangesNothing) {
    EXPECT_FALSE(manager->ConnectAll(true));
    EXPECT_FALSE(manager->IsConnected());
}

// The icon arguments of the SetIcon calls recorded on pane 4.
std::vector<std::string> paneIcons(const std::vector<std::string>& lines) {
    std::vector<std::string> icons;
    for (const std::string& line : lines)
        if (line.rfind("IStatusBar::SetIcon|4|", 0) == 0)
            icons.push_back(line.substr(std::string("IStatusBar::SetIcon|4|").size()));
    return icons;
}

// The pixels of an icon (colour and mask), to tell icons apart by image.
std::vector<unsigned char> iconPixels(HICON icon) {
    std::vector<unsigned char> pixels;
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return pixels;
    for (HBITMAP bitmap : {info.hbmColor, info.hbmMask}) {
        BITMAP shape = {};
        if (bitmap && GetObjectA(bitmap, sizeof shape, &shape)) {
            std::vector<unsigned char> bits(static_cast<size_t>(shape.bmWidthBytes) * shape.bmHeight);
            bits.resize(GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data()));
            pixels.insert(pixels.end(), bits.begin(), bits.end());
        }
        if (bitmap)
            DeleteObject(bitmap);
    }
    return pixels;
}

// The pixels of the icon whose handle a recorded line shows.
std::vector<unsigned char> recordedIconPixels(const std::string& address) {
    return iconPixels(reinterpret_cast<HICON>(static_cast<UINT_PTR>(std::strtoull(address.c_str(), nullptr, 16))));
}

// Waits until pane 4 got at least n icons in the record, for at most 15 s;
// false when they did not come. The waiting thread runs no message loop:
// the blink ticks on the GUI thread.
bool waitForPaneIcons(const std::function<std::vector<std::string>()>& recordedLines, std::size_t n) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 15000; Sleep(10))
        if (paneIcons(recordedLines()).size() >= n)
            return true;
    return false;
}

TEST_F(Protocols, EachStateShowsItsOwnText) {
    const unsigned textIds[7] = {277, 276, 272, 271, 273, 274, 275};
    IProtocol* p = add("P", connectA, disconnectA);
    std::set<std::string> seen;
    for (int state = 0; state < 7; ++state) {
        char expected[64] = {};
        ASSERT_GT(LoadStringA(resources, textIds[state], expected, sizeof expected), 0) << textIds[state];
        p->SetState(state);
        EXPECT_STREQ(p->GetStateText(), expected) << state;
        seen.insert(expected);
    }
    EXPECT_EQ(seen.size(), 7u) << "every state has a text of its own";
    p->SetState(3);  // ends the blink that states 2 and 5 began
}

TEST_F(Protocols, StateTextAndIconInTheStatusBar) {
    IProtocol* p = add("P", connectA, disconnectA);
    p->SetState(3);
    p->SetState(4);
    std::vector<std::string> lines = recorded("IStatusBar::");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "IStatusBar::Output|Connected|4|0");
    EXPECT_EQ(lines[2], "IStatusBar::Output|Offline|4|0");
    std::vector<std::string> icons = paneIcons(lines);
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_NE(icons[0], "0") << "the icons come from the resource module";
    EXPECT_NE(icons[1], "0");
    EXPECT_NE(icons[0], icons[1]);
    auto resourceIcon = [&](int id) {
        HICON icon = static_cast<HICON>(LoadImageA(resources, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        std::vector<unsigned char> pixels = iconPixels(icon);
        if (icon)
            DestroyIcon(icon);
        return pixels;
    };
    std::vector<unsigned char> connectedIcon = resourceIcon(167), activeIcon = resourceIcon(169);
    ASSERT_FALSE(connectedIcon.empty());
    ASSERT_NE(connectedIcon, activeIcon);
    EXPECT_EQ(recordedIconPixels(icons[0]), connectedIcon) << "connected shows icon 167";
    EXPECT_EQ(recordedIconPixels(icons[1]), activeIcon) << "offline shows icon 169";
    EXPECT_EQ(p->GetState(), 4);
    EXPECT_STREQ(p->GetStateText(), "Offline");

    ui.calls().clear();
    p->SetState(6);
    p->SetState(42);
    lines = recorded("IStatusBar::");
    EXPECT_EQ(lines, (std::vector<std::string>{"IStatusBar::Output|Stopped|4|0", "IStatusBar::Output||4|0"}))
        << "other states show their text and keep the icon";
}

TEST_F(Protocols, ConnectingBlinksUntilConnected) {
    IProtocol* p = add("P", connectA, disconnectA);
    p->SetState(3);
    p->SetState(4);
    std::vector<std::string> icons = paneIcons(recorded("IStatusBar::"));
    ASSERT_EQ(icons.size(), 2u);
    const std::string steady = icons[0], active = icons[1];

    ui.calls().clear();
    p->SetState(2);
    p->SetState(2);  // the one timer goes on
    auto statusLines = [&] { return recorded("IStatusBar::"); };
    Sleep(2100);
    EXPECT_LE(paneIcons(statusLines()).size(), 2u + 3u) << "one timer of 800 ms, not two";
    ASSERT_TRUE(waitForPaneIcons(statusLines, 2 + 2)) << "two state calls and two blinks";
    icons = paneIcons(statusLines());
    EXPECT_EQ(icons[0], active);
    std::vector<std::string> blinks(icons.begin() + 2, icons.end());
    for (std::size_t i = 1; i < blinks.size(); ++i)
        EXPECT_NE(blinks[i], blinks[i - 1]) << "the icon alternates";
    for (const std::string& icon : blinks)
        EXPECT_TRUE(icon == steady || icon == active);

    p->SetState(0);  // leaves the blink running
    ui.calls().clear();
    EXPECT_TRUE(waitForPaneIcons(statusLines, 1));

    p->SetState(3);
    ui.calls().clear();
    Sleep(1700);
    EXPECT_TRUE(paneIcons(recorded("IStatusBar::")).empty()) << "connected stops the blink";
}

// The active-host thread reports states and runs no message loop: a timer
// of its own would never tick.
TEST_F(Protocols, BlinkAskedForOnAThreadWithoutAMessageLoopRunsOnTheGuiThread) {
    IProtocol* p = add("P", connectA, disconnectA);
    p->SetState(3);
    ui.calls().clear();
    std::thread([&] { p->SetState(2); }).join();  // asks and is gone
    EXPECT_TRUE(waitForPaneIcons([&] { return recorded("IStatusBar::"); }, 2))
        << "the state's own icon, then a blink";

    std::thread([&] { p->SetState(3); }).join();
    ui.calls().clear();
    Sleep(1700);
    EXPECT_TRUE(paneIcons(recorded("IStatusBar::")).empty()) << "stopped from yet another thread";

    ui.gui().run([&] { p->SetState(2); });  // asked for again, on the GUI thread itself
    ui.calls().clear();
    EXPECT_TRUE(waitForPaneIcons([&] { return recorded("IStatusBar::"); }, 1)) << "the blink starts again";
    p->SetState(3);
}

TEST_F(Protocols, BlinkStartedOnOneThreadStopsFromAnother) {
    IProtocol* p = add("P", connectA, disconnectA);
    p->SetState(3);
    ASSERT_EQ(paneIcons(recorded("IStatusBar::")).size(), 1u);
    std::string steady = paneIcons(recorded("IStatusBar::")).back();
    ui.calls().clear();
    ui.gui().run([&] { p->SetState(2); });
    EXPECT_TRUE(waitForPaneIcons([&] { return recorded("IStatusBar::"); }, 2));
    p->SetState(3);  // from a thread that owns no timer
    ui.calls().clear();
    Sleep(1700);
    EXPECT_TRUE(paneIcons(recorded("IStatusBar::")).empty());
    p->SetState(3);
    ASSERT_EQ(paneIcons(recorded("IStatusBar::")).size(), 1u);
    EXPECT_EQ(paneIcons(recorded("IStatusBar::")).back(), steady);
}

}  // namespace
}  // namespace vesk::ss::test
