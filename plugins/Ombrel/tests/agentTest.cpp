#include <atomic>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/buffer.h"
#include "core/string.h"
#include "core/tests/liveProbe.h"
#include "plugins/Ombrel/tests/managerFixture.h"
#include "testing/heapCanary.h"

namespace vesk::ss::test {
namespace {

using vesk::test::countOf;
using vesk::testing::fillFreedBlocks;
using vesk::testing::letters;
using vesk::testing::lettersOnly;

const char* textPointer(const value& v) {
    Istring* s = v.asString();
    return s ? s->c_str() : nullptr;
}

class Agent : public managerFixture {
protected:
    void SetUp() override {
        managerFixture::SetUp();
        agent = newAgent();
        ASSERT_NE(agent, nullptr);
    }
    void TearDown() override {
        if (agent)
            agent->release();
        managerFixture::TearDown();
    }

    // The names of a new name list, which is then released.
    static std::vector<std::string> namesOf(Ivector* list) {
        std::vector<std::string> names;
        if (!list)
            return names;
        for (unsigned i = 0; i < list->size(); ++i)
            names.push_back(textOf(list->at(i)));
        list->addRef();
        list->release();
        return names;
    }

    IAgent* agent = nullptr;
};

TEST_F(Agent, CStringIsKeptAsItsOwnTextObject) {
    char buffer[16] = "first";
    ASSERT_TRUE(agent->SetAttribute("Name", value(static_cast<const char*>(buffer))));
    std::strcpy(buffer, "changed");
    value v = agent->GetAttribute("Name");
    EXPECT_EQ(v.code, vt::stringObject);
    EXPECT_EQ(textOf(v), "first");
    EXPECT_EQ(v.owned, 0);
}

TEST_F(Agent, MarkersOfMissingAndNullNames) {
    agent->SetAttribute("a", value(7L));
    agent->SetProperty("p", value(3L));
    struct row {
        value got;
        std::uint32_t code;
        long expected;
    } rows[] = {
        {agent->GetAttribute("never set"), vt::longV, 0},
        {agent->GetAttribute(nullptr), vt::longV, 0},
        {agent->GetProperty("never set"), vt::longV, -1},
        {agent->GetProperty(nullptr), vt::longV, 0},
        {agent->GetProperty("p"), vt::longV, 3},
        {agent->GetAttributeProperty("never set", "II"), vt::longV, -1},
        {agent->GetAttributeProperty("a", "never set"), vt::longV, -1},
        {agent->GetAttributeProperty("a", nullptr), vt::longV, 0},
        {agent->GetActionProperty("no action", "MC"), vt::longV, -1},
    };
    for (const row& r : rows) {
        EXPECT_EQ(r.got.code, r.code);
        EXPECT_EQ(r.got.payload.l, r.expected);
    }
    EXPECT_FALSE(agent->SetAttribute(nullptr, value(1L)));
    EXPECT_FALSE(agent->SetAttributeProperty("never set", "II", value(1L)));
    EXPECT_FALSE(agent->RemoveAttribute("never set"));
    EXPECT_FALSE(agent->HasAttribute(nullptr));
}

TEST_F(Agent, NameIdsAreSharedAcrossAgentsAndCountedOnce) {
    std::string name = "shared name " + std::to_string(GetTickCount());
    int before = agent->GetAttributeNameCount();
    IAgent* other = newAgent();
    agent->SetAttribute(name.c_str(), value(1L));
    other->AddAction(name.c_str(), [](IAgent*) { return 0; });
    other->SetActionProperty(name.c_str(), name.c_str(), value(2L));
    EXPECT_EQ(other->GetAttributeNameCount(), before + 1);
    EXPECT_STREQ(other->GetAttributeName(before), name.c_str());
    EXPECT_EQ(agent->GetAttributeName(before + 1), nullptr);
    other->release();
}

TEST_F(Agent, StringAndBufferObjectsAreHeldOnceAndReleasedOnce) {
    Istring* text = new vesk::string("held");
    text->addRef();
    Ibuffer* bytes = newBuffer("1234", 4);
    bytes->addRef();
    Igeneric* other = vesk::test::newProbe();

    agent->SetAttribute("text", value(text));
    agent->SetAttribute("bytes", value(bytes));
    agent->SetAttribute("other", value(other));
    EXPECT_EQ(countOf(text), 2);
    EXPECT_EQ(countOf(bytes), 2);
    EXPECT_EQ(countOf(other), 1) << "other objects are kept without a reference";

    agent->SetAttribute("text", value(5L));  // replaced by a number
    EXPECT_EQ(countOf(text), 1);
    agent->RemoveAttribute("bytes");
    EXPECT_EQ(countOf(bytes), 1);

    agent->SetAttribute("text", value(text));
    agent->SetAttribute("bytes", value(bytes));
    agent->SetProperty("prop", value(text));
    EXPECT_EQ(countOf(text), 3);
    agent->release();  // its last reference
    agent = nullptr;
    EXPECT_EQ(countOf(text), 1);
    EXPECT_EQ(countOf(bytes), 1);
    text->release();
    bytes->release();
    other->release();
}

TEST_F(Agent, NewTextGoesIntoTheSameTextObject) {
    agent->SetAttribute("Status", value("Connecting"));
    Istring* kept = agent->GetAttribute("Status").asString();
    ASSERT_NE(kept, nullptr);
    kept->addRef();
    agent->SetAttribute("Status", value("Done"));
    EXPECT_EQ(agent->GetAttribute("Status").asString(), kept);
    EXPECT_STREQ(kept->c_str(), "Done");
    agent->SetAttribute("Status", value(3L));
    EXPECT_EQ(countOf(kept), 1) << "a number in its place releases it";
    kept->release();
}

// GetAttribute hands the text out without a reference, and the reader uses
// it after the agent's lock is gone: a longer text set meanwhile must not
// free it under the reader.
TEST_F(Agent, AHandedOutTextStaysReadableWhenALongerOneReplacesIt) {
    std::string first = letters(100), longer = letters(300, 7);
    agent->SetAttribute("Status", value(first.c_str()));
    const char* handedOut = textPointer(agent->GetAttribute("Status"));
    ASSERT_NE(handedOut, nullptr);
    agent->SetAttribute("Status", value(longer.c_str()));
    fillFreedBlocks(90, 320);
    EXPECT_TRUE(lettersOnly(handedOut, longer.size())) << "the text was freed under its reader";
    EXPECT_EQ(textOf(agent->GetAttribute("Status")), longer);
    agent->SetAttribute("Status", value("short"));
    EXPECT_EQ(textOf(agent->GetAttribute("Status")), "short");
    EXPECT_EQ(agent->GetAttribute("Status").asString()->length(), 5u);
}

// A worker rewrites a row's text, each time longer, while another thread
// draws it a moment after reading it; a third thread reuses freed blocks.
TEST_F(Agent, TextsRewrittenByOneThreadStayReadableForAnother) {
    const int rounds = 500;
    const std::size_t longest = 1024;
    std::vector<IAgent*> rows;  // held until the end: a reader's row never goes
    std::atomic<IAgent*> current{nullptr};
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int r = 0; r < rounds; ++r) {
            IAgent* row = newAgent();
            rows.push_back(row);
            current = row;
            for (std::size_t n = 8; n <= longest; n *= 2) {  // every text outgrows the last
                row->SetAttribute("Speed", value(letters(n, r).c_str()));
                Sleep(0);
            }
        }
        done = true;
    });
    std::thread reuser([&] {
        while (!done)
            fillFreedBlocks(8, 2 * longest, 1);
    });
    int reads = 0, damaged = 0;
    while (!done) {
        IAgent* row = current;
        const char* text = row ? textPointer(row->GetAttribute("Speed")) : nullptr;
        if (!text)
            continue;
        Sleep(0);  // drawn a moment later, outside the agent's lock
        ++reads;
        if (!lettersOnly(text, longest))
            ++damaged;
    }
    writer.join();
    reuser.join();
    for (IAgent* row : rows)
        row->release();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(damaged, 0) << "of " << reads << " texts read";
}

TEST_F(Agent, ReplacingKeepsPropertiesRemovingDropsThem) {
    agent->SetAttribute("Size", value(1L));
    agent->SetAttributeProperty("Size", "II", value(4L));
    agent->SetAttribute("Size", value(2L));
    EXPECT_EQ(agent->GetAttributeProperty("Size", "II").payload.l, 4);
    agent->RemoveAttribute("Size");
    agent->SetAttribute("Size", value(3L));
    EXPECT_EQ(agent->GetAttributeProperty("Size", "II").payload.l, -1);

    auto first = [](IAgent*) { return 1; };
    auto second = [](IAgent*) { return 2; };
    agent->AddAction("Go", first);
    agent->SetActionProperty("Go", "MC", value("SHELL"));
    agent->AddAction("Go", second);
    EXPECT_EQ(agent->GetAction("Go"), static_cast<AgentActionFn>(second));
    EXPECT_EQ(textOf(agent->GetActionProperty("Go", "MC")), "SHELL");
    agent->RemoveAction("Go");
    agent->AddAction("Go", first);
    EXPECT_EQ(agent->GetActionProperty("Go", "MC").payload.l, -1);
}

TEST_F(Agent, SizeEstimate) {
    EXPECT_EQ(agent->GetSize(), 28u);
    agent->SetAttribute("abc", value("abc"));
    agent->AddAction("act", [](IAgent*) { return 0; });
    agent->SetAttributeProperty("abc", "II", value("ignored in the size"));
    EXPECT_EQ(agent->GetSize(), 28u + 24 + 3 + 4);
    ASSERT_TRUE(agent->SetAttributeBuffer("raw", "0123456789", 10));
    EXPECT_EQ(agent->GetSize(), 59u + 24 + 10);
    agent->SetAttribute("n", value(12345L));
    EXPECT_EQ(agent->GetSize(), 93u + 24);
}

TEST_F(Agent, NameListsFollowFirstRegistration) {
    std::string stamp = std::to_string(GetTickCount());
    std::string a = "zz first " + stamp, b = "aa second " + stamp;
    agent->SetAttribute(a.c_str(), value(1L));
    agent->SetAttribute(b.c_str(), value(2L));
    EXPECT_EQ(namesOf(agent->GetAttributeNames()), (std::vector<std::string>{a, b}));
    agent->AddAction(b.c_str(), [](IAgent*) { return 0; });
    agent->AddAction(a.c_str(), [](IAgent*) { return 0; });
    EXPECT_EQ(namesOf(agent->GetActionNames()), (std::vector<std::string>{a, b}));
    EXPECT_EQ(agent->GetActionPropertyNames("no such action"), nullptr);
}

// An action that removes itself and fires another action of its agent.
std::atomic<int> fired{0};
int removeSelfAndFire(IAgent* a) {
    ++fired;
    a->RemoveAction("first");
    a->FireAction("second");
    return 0;
}

TEST_F(Agent, ActionMayUseItsAgentsActions) {
    fired = 0;
    agent->AddAction("first", removeSelfAndFire);
    agent->AddAction("second", [](IAgent*) {
        fired += 10;
        return 0;
    });
    EXPECT_TRUE(agent->FireAction("first"));
    EXPECT_EQ(fired.load(), 11);
    EXPECT_FALSE(agent->HasAction("first"));
    EXPECT_FALSE(agent->FireAction("first"));
    EXPECT_FALSE(agent->FireAction(nullptr));
}

TEST_F(Agent, NamesInternedFromManyThreadsGetDistinctIds) {
    const int threads = 6, perThread = 150;
    std::string stamp = std::to_string(GetTickCount());
    int before = agent->GetAttributeNameCount();
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&, t] {
            IAgent* mine = newAgent();
            for (int i = 0; i < perThread; ++i) {
                // Half the names are shared by all threads, half are the thread's own.
                std::string name = i % 2 ? "common " + stamp + " " + std::to_string(i)
                                          : "own " + stamp + " " + std::to_string(t) + " " + std::to_string(i);
                mine->SetAttribute(name.c_str(), value(1L));
            }
            mine->release();
        });
    for (auto& w : workers)
        w.join();
    int added = agent->GetAttributeNameCount() - before;
    EXPECT_EQ(added, perThread / 2 + threads * perThread / 2);
    std::set<std::string> names;
    for (int id = before; id < before + added; ++id) {
        const char* name = agent->GetAttributeName(id);
        ASSERT_NE(name, nullptr) << "ids run without gaps";
        names.insert(name);
    }
    EXPECT_EQ(static_cast<int>(names.size()), added) << "no name was given two ids";
}

TEST_F(Agent, OnlyTheBareFormOfTheConstructMakesAgents) {
    ref<Iconstruct> construct(new capsule<_constructAgent>());
    Igeneric* made = construct->create();
    ASSERT_NE(made, nullptr);
    EXPECT_NE(interfaceCast<IAgent>(made), nullptr);
    made->addRef();
    EXPECT_EQ(made->release(), 0) << "new agents come with a count of 0";
    EXPECT_EQ(construct->create1(value(1L)), nullptr);
    EXPECT_EQ(construct->create2(value(1L), value(2L)), nullptr);
    EXPECT_STREQ(construct->getClassName(), "vesk::ss::CAgent");
}

}  // namespace
}  // namespace vesk::ss::test
