#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/hash.h"
#include "core/queue.h"
#include "core/records.h"
#include "core/string.h"
#include "core/tests/liveProbe.h"
#include "core/vector.h"

namespace vesk {
namespace {

using test::countOf;
using test::liveProbe;
using test::newProbe;

template <class C>
C* held(C* c) {
    c->addRef();
    return c;
}

// Every container in add-ref mode: storing an object adds exactly one
// reference; the ways a value leaves give exactly one back.
struct addRefCase {
    const char* what;
    // Stores `probe` into a fresh add-ref container, then lets it leave;
    // `during` is the probe's count while stored.
    std::function<void(Igeneric* probe, int& during)> run;
};

TEST(Containers, AddRefModeTakesAndGivesBackExactlyOneReference) {
    const unsigned long flags = addRefMode;
    std::vector<addRefCase> cases = {
        {"hash value erased", [&](Igeneric* p, int& during) {
             auto* h = held(new capsule<hash>(value(flags)));
             h->set(value(1L), value(p));
             during = countOf(p);
             h->erase(value(1L));
             EXPECT_EQ(countOf(p), 1);
             h->release();
         }},
        {"hash key and value replaced", [&](Igeneric* p, int& during) {
             auto* h = held(new capsule<hash>(value(flags)));
             h->set(value(p), value(p));  // key and value both hold one
             during = countOf(p) - 1;
             h->set(value(p), value(2L));
             EXPECT_EQ(countOf(p), 2);  // the key stays referenced
             h->release();
         }},
        {"hash same object stored again", [&](Igeneric* p, int& during) {
             auto* h = held(new capsule<hash>(value(flags)));
             h->set(value(1L), value(p));
             h->set(value(1L), value(p));
             during = countOf(p);
             h->release();
         }},
        {"hash setCurrentValue and clear", [&](Igeneric* p, int& during) {
             auto* h = held(new capsule<hash>(value(flags)));
             h->set(value(1L), value(2L));
             h->first();
             h->setCurrentValue(value(p));
             during = countOf(p);
             h->clear();
             EXPECT_EQ(countOf(p), 1);
             h->release();
         }},
        {"vector erase", [&](Igeneric* p, int& during) {
             auto* v = held(new capsule<vector>(value(flags)));
             v->pushBack(value(p));
             during = countOf(p);
             v->erase(0, 1);
             EXPECT_EQ(countOf(p), 1);
             v->release();
         }},
        {"vector destroyed", [&](Igeneric* p, int& during) {
             auto* v = held(new capsule<vector>(value(flags)));
             v->pushBack(value(p));
             during = countOf(p);
             v->release();
         }},
        {"queue pop", [&](Igeneric* p, int& during) {
             auto* q = held(new capsule<queue>(value(flags)));
             q->push(value(p));
             during = countOf(p);
             q->pop();
             EXPECT_EQ(countOf(p), 1);
             q->release();
         }},
        {"stack clear", [&](Igeneric* p, int& during) {
             auto* s = held(new capsule<stack>(value(flags)));
             s->push(value(p));
             during = countOf(p);
             s->clear();
             EXPECT_EQ(countOf(p), 1);
             s->release();
         }},
        {"pair member replaced and same object stored again", [&](Igeneric* p, int& during) {
             auto* r = held(new capsule<pair>(value(flags)));
             r->setFirst(value(p));
             r->setFirst(value(p));
             during = countOf(p);
             r->setFirst(value(3L));
             EXPECT_EQ(countOf(p), 1);
             r->release();
         }},
        {"trio destroyed", [&](Igeneric* p, int& during) {
             auto* r = held(new capsule<trio>(value(flags)));
             r->setThird(value(p));
             during = countOf(p);
             r->release();
         }},
        {"quad destroyed", [&](Igeneric* p, int& during) {
             auto* r = held(new capsule<quad>(value(flags)));
             r->setFourth(value(p));
             during = countOf(p);
             r->release();
         }},
    };
    for (auto& c : cases) {
        Igeneric* p = newProbe();
        int during = -1;
        c.run(p, during);
        EXPECT_EQ(during, 2) << c.what;
        EXPECT_EQ(countOf(p), 1) << c.what;
        p->release();
    }
    EXPECT_EQ(liveProbe::alive, 0);
}

TEST(Containers, WithoutAddRefModeNoReferenceIsTouched) {
    Igeneric* p = newProbe();
    auto* h = held(new capsule<hash>(value(1L)));  // a long, not an unsigned long: no add-ref mode
    h->set(value(1L), value(p));
    EXPECT_EQ(countOf(p), 1);
    h->release();
    EXPECT_EQ(countOf(p), 1);
    p->release();
    EXPECT_EQ(liveProbe::alive, 0);
}

TEST(Containers, StringObjectsAreReferencedInAddRefMode) {
    auto* s = new string("key");
    s->addRef();
    auto* h = held(new capsule<hash>(value(addRefMode)));
    h->set(value(static_cast<Istring*>(s)), value(1L));
    EXPECT_EQ(s->addRef(), 3);
    s->release();
    EXPECT_EQ(h->find(value("key")).asLong(), 1);  // a C string finds a string-object key
    h->release();
    EXPECT_EQ(s->release(), 0);
}

TEST(Hash, CursorWalksInKeyOrder) {
    auto* h = held(new capsule<hash>());
    EXPECT_EQ(h->first().code, vt::longV);
    EXPECT_EQ(h->first().asLong(), 0);
    EXPECT_EQ(h->next().asLong(), 0);
    EXPECT_EQ(h->currentValue().asLong(), 0);  // never positioned: past the end
    EXPECT_EQ(h->previous().asLong(), 0);

    h->set(value(3L), value(30L));
    h->set(value(1L), value(10L));
    h->set(value(2L), value(20L));
    EXPECT_EQ(h->currentValue().asLong(), 0);  // set does not move the cursor
    EXPECT_EQ(h->first().asLong(), 10);
    EXPECT_EQ(h->next().asLong(), 20);
    EXPECT_EQ(h->next().asLong(), 30);
    EXPECT_EQ(h->next().asLong(), 0);
    EXPECT_EQ(h->currentKey().asLong(), 3);  // back on the last entry
    EXPECT_EQ(h->last().asLong(), 30);
    EXPECT_EQ(h->first().asLong(), 10);
    EXPECT_EQ(h->previous().asLong(), 0);  // stays on the first
    EXPECT_EQ(h->currentKey().asLong(), 1);

    EXPECT_EQ(h->find(value(9L)).asLong(), 0);
    EXPECT_EQ(h->currentValue().asLong(), 0);
    EXPECT_EQ(h->previous().asLong(), 30);  // from past the end to the last

    EXPECT_TRUE(h->erase(value(2L)));
    EXPECT_EQ(h->currentKey().asLong(), 1);  // erase goes back to the first
    EXPECT_FALSE(h->erase(value(2L)));
    EXPECT_EQ(h->size(), 2u);

    h->find(value(3L));
    EXPECT_EQ(h->setCurrentValue(value(33L)).asLong(), 33);
    EXPECT_EQ(h->find(value(3L)).asLong(), 33);
    h->clear();
    EXPECT_TRUE(h->empty());
    EXPECT_EQ(h->setCurrentValue(value(1L)).asLong(), 0);
    EXPECT_EQ(h->reserved(), 0);
    h->release();
}

TEST(Hash, ReplacingTheEntryUnderTheCursorKeepsTheCursorOnIt) {
    Igeneric* p = newProbe();
    auto* h = held(new capsule<hash>(value(addRefMode)));
    h->set(value(1L), value(10L));
    h->set(value(2L), value(20L));
    h->find(value(2L));
    h->set(value(2L), value(p));
    EXPECT_EQ(h->currentValue().asGeneric(), p);
    EXPECT_EQ(h->previous().asLong(), 10);
    h->release();
    p->release();
}

TEST(Hash, KeysOrderByTheValueOrdering) {
    auto* h = held(new capsule<hash>(value(addRefMode)));
    auto* b = new string("banana");
    h->set(value(static_cast<Istring*>(b)), value(2L));
    h->set(value("cherry"), value(3L));
    h->set(value("apple"), value(1L));
    std::vector<long> order;
    for (value v = h->first(); v.asLong() != 0; v = h->next())
        order.push_back(v.asLong());
    EXPECT_EQ(order, (std::vector<long>{1, 2, 3}));
    h->set(value("banana"), value(22L));  // same text, other kind: one key
    EXPECT_EQ(h->size(), 3u);
    h->release();
}

TEST(Vector, CursorAndEraseRules) {
    auto* v = held(new capsule<vector>());
    EXPECT_EQ(v->first().asLong(), 0);
    EXPECT_EQ(v->last().asLong(), 0);
    for (long i = 10; i <= 30; i += 10)
        EXPECT_EQ(v->pushBack(value(i)).asLong(), i);
    EXPECT_EQ(v->last().asLong(), 30);
    EXPECT_EQ(v->previous().asLong(), 20);
    EXPECT_EQ(v->next().asLong(), 30);
    EXPECT_EQ(v->next().asLong(), 0);
    EXPECT_EQ(v->current().asLong(), 30);
    EXPECT_EQ(v->at(3).asLong(), 0);  // index = size: nothing, cursor stays
    EXPECT_EQ(v->current().asLong(), 30);
    EXPECT_EQ(v->at(0).asLong(), 10);
    EXPECT_EQ(v->previous().asLong(), 0);

    struct {
        unsigned from, count;
        bool ok;
    } refused[] = {{2, 2, false}, {4, 0, false}, {1, 0xFFFFFFFFu, false}, {0xFFFFFFFFu, 2, false}};
    for (auto& r : refused)
        EXPECT_EQ(v->erase(r.from, r.count), r.ok) << r.from << "+" << r.count;
    EXPECT_EQ(v->size(), 3u);
    EXPECT_TRUE(v->erase(1, 2));
    EXPECT_EQ(v->size(), 1u);
    EXPECT_EQ(v->current().asLong(), 0);  // the cursor's element is gone
    EXPECT_TRUE(v->clear());
    EXPECT_TRUE(v->empty());
    v->release();
}

TEST(Vector, AppendCopiesAndAppendFirstBounds) {
    auto* a = held(new capsule<vector>());
    auto* b = held(new capsule<vector>());
    for (long i = 1; i <= 3; ++i)
        b->pushBack(value(i));
    EXPECT_EQ(a->appendFirst(b, 0), 0u);
    EXPECT_EQ(a->appendFirst(b, -2), 0u);
    EXPECT_EQ(a->appendFirst(b, 2), 2u);
    EXPECT_EQ(a->appendFirst(b, 10), 5u);
    EXPECT_EQ(a->append(b), 8u);
    EXPECT_EQ(a->append(a), 16u);  // itself: the eight it had
    EXPECT_EQ(a->at(15).asLong(), 3);
    a->release();
    b->release();
}

TEST(Vector, InitialElementsFromAnArrayValue) {
    Igeneric* p = newProbe();
    value array[] = {value(2L), value(p), value(7L)};
    auto* v = held(new capsule<vector>(value(addRefMode), value(static_cast<void*>(array))));
    EXPECT_EQ(v->size(), 2u);
    EXPECT_EQ(v->at(0).asGeneric(), p);
    EXPECT_EQ(countOf(p), 2);
    v->release();
    EXPECT_EQ(countOf(p), 1);
    p->release();
}

TEST(QueueAndStack, OrderAndEmptyRules) {
    auto* q = held(new capsule<queue>());
    auto* s = held(new capsule<stack>());
    EXPECT_FALSE(q->pop());
    EXPECT_FALSE(s->pop());
    EXPECT_EQ(q->front().code, vt::longV);
    EXPECT_EQ(s->top().asLong(), 0);
    for (long i = 1; i <= 3; ++i) {
        q->push(value(i));
        s->push(value(i));
    }
    EXPECT_EQ(q->front().asLong(), 1);
    EXPECT_EQ(s->top().asLong(), 3);
    EXPECT_TRUE(q->pop());
    EXPECT_TRUE(s->pop());
    EXPECT_EQ(q->front().asLong(), 2);
    EXPECT_EQ(s->top().asLong(), 2);
    EXPECT_TRUE(q->clear());
    EXPECT_EQ(q->size(), 0u);
    q->release();
    s->release();
}

TEST(Records, MembersStartEmpty) {
    auto* p = held(new capsule<pair>());
    EXPECT_EQ(p->getFirst().code, vt::empty);
    EXPECT_EQ(p->getSecond().code, vt::empty);
    p->setSecond(value("x"));
    EXPECT_STREQ(p->getSecond().asCString(), "x");
    EXPECT_NE(p->getLock(), nullptr);
    p->release();
}

}  // namespace
}  // namespace vesk
