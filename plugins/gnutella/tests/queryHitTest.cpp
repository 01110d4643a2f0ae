// Reading Query Hits: records, trailer, vendor, push and the faults that
// end a hit early.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugins/gnutella/queryHitParser.h"
#include "plugins/gnutella/tests/craftedHits.h"

namespace vesk::gnutella::test {
namespace {

using names = std::vector<std::string>;

std::vector<craftedRecord> threeRecords() {
    return {{1, 1000, "one.mp3", ""}, {2, 2000, "two.mp3", ""}, {3, 3000, "three.mp3", ""}};
}

craftedHit hitWith(std::vector<craftedRecord> records, bytes trailer = {}) {
    craftedHit h;
    h.records = std::move(records);
    h.trailer = std::move(trailer);
    return h;
}

craftedHit fromAddress(craftedHit h, unsigned char a, unsigned char b, unsigned char c, unsigned char d) {
    h.address[0] = a;
    h.address[1] = b;
    h.address[2] = c;
    h.address[3] = d;
    return h;
}

craftedHit withCount(craftedHit h, int count) {
    h.count = count;
    return h;
}

craftedHit withRaw(craftedHit h, bytes raw) {
    h.afterRecords = std::move(raw);
    return h;
}

names namesOf(const parsedHit& p) {
    names out;
    for (const hitRecord& r : p.records)
        out.push_back(r.name);
    return out;
}

TEST(QueryHits, RecordsTrailerVendorAndPushTable) {
    const std::string longest(255, 'n'), tooLong(256, 'n');
    struct row {
        const char* what;
        craftedHit hit;
        names delivered;
        const char* vendor;
        bool push;
        bool malformed;
    } rows[] = {
        {"three records, no trailer",
         hitWith(threeRecords()),
         {"one.mp3", "two.mp3", "three.mp3"},
         "Not Reported",
         false,
         false},
        {"no address and a trailer",
         fromAddress(hitWith(threeRecords(), Trailer("BEAR", 0, 0)), 0, 0, 0, 0),
         {"one.mp3", "two.mp3", "three.mp3"},
         "Bearshare",
         true,
         false},
        {"no address, no trailer",
         fromAddress(hitWith({{1, 1, "a", ""}}), 0, 0, 0, 0),
         {"a"},
         "Not Reported",
         true,
         false},
        {"lower-case code",
         hitWith({{1, 1, "a", ""}}, Trailer("lime", 0, 0)),
         {"a"},
         "Limewire",
         false,
         false},
        {"own code", hitWith({{1, 1, "a", ""}}, Trailer("VESK", 1, 1)), {"a"}, "Pelloran", true, false},
        {"push flag set in both bytes",
         hitWith({{1, 1, "a", ""}}, Trailer("GTKG", 0x01, 0x01)),
         {"a"},
         "GTK-Gnutella",
         true,
         false},
        {"push flag in the first byte only",
         hitWith({{1, 1, "a", ""}}, Trailer("GTKG", 0x01, 0x00)),
         {"a"},
         "GTK-Gnutella",
         false,
         false},
        {"push flag in the second byte only",
         hitWith({{1, 1, "a", ""}}, Trailer("GTKG", 0x00, 0x01)),
         {"a"},
         "GTK-Gnutella",
         false,
         false},
        {"unknown code",
         hitWith({{1, 1, "a", ""}}, Trailer("ZZZZ", 1, 1)),
         {"a"},
         "Not Reported",
         true,
         false},
        {"a trailer too short for a code",
         hitWith({{1, 1, "a", ""}}, bytes{'L', 'I', 'M'}),
         {"a"},
         "Not Reported",
         false,
         false},
        {"a code without flag bytes",
         hitWith({{1, 1, "a", ""}}, bytes{'L', 'I', 'M', 'E'}),
         {"a"},
         "Limewire",
         false,
         false},
        {"count 0", hitWith({}, Trailer("GNUC", 0, 0)), {}, "Gnucleus", false, false},
        {"count 5, three records, then the servent identifier",
         withCount(hitWith(threeRecords()), 5),
         {"one.mp3", "two.mp3", "three.mp3"},
         "Not Reported",
         false,
         true},
        {"count above the records read from the trailer",
         withCount(hitWith({{1, 1, "a", ""}}, Trailer("LIME", 1, 1)), 2),
         {"a"},
         "Not Reported",
         false,
         true},
        {"a tab in the second name",
         hitWith({{1, 1, "first", ""}, {2, 2, "sec\tond", ""}, {3, 3, "third", ""}}, Trailer("LIME", 0, 0)),
         {"first"},
         "Not Reported",
         false,
         true},
        {"a byte of 0x80 in a name",
         hitWith({{1, 1, "ok", ""}, {2, 2, "caf\x80", ""}}),
         {"ok"},
         "Not Reported",
         false,
         true},
        {"an extension block is skipped",
         hitWith({{1, 1, "a", "urn:sha1:PLSTHIPQGSSZTS5FJUPAKUZWUGYQYPFB"}, {2, 2, "b", ""}},
                 Trailer("BEAR", 0, 0)),
         {"a", "b"},
         "Bearshare",
         false,
         false},
        {"a name of 255 characters", hitWith({{1, 1, longest, ""}}), {longest}, "Not Reported", false, false},
        {"a name of 256 characters after a good record",
         hitWith({{1, 1, "kept", ""}, {2, 2, tooLong, ""}}, Trailer("LIME", 1, 1)),
         {"kept"},
         "Not Reported",
         false,
         true},
        {"an extension without its end",
         withCount(withRaw(hitWith({{1, 1, "kept", ""}}), {2, 0, 0, 0, 2, 0, 0, 0, 'b', 0, 'x', 'y'}), 2),
         {"kept"},
         "Not Reported",
         false,
         true},
        {"a name ending where the servent identifier begins",
         withCount(withRaw(hitWith({{1, 1, "kept", ""}}), {2, 0, 0, 0, 2, 0, 0, 0, 'b', 0}), 2),
         {"kept"},
         "Not Reported",
         false,
         true},
        {"no address but malformed: no push",
         fromAddress(withCount(hitWith({{1, 1, "a", ""}}), 2), 0, 0, 0, 0),
         {"a"},
         "Not Reported",
         false,
         true},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        bytes d = r.hit.descriptor();
        parsedHit p = ParseQueryHit(d.data(), d.size());
        EXPECT_EQ(namesOf(p), r.delivered);
        EXPECT_STREQ(p.vendor->name, r.vendor);
        EXPECT_EQ(MustPush(p), r.push);
        EXPECT_EQ(p.malformed, r.malformed);
    }
}

TEST(QueryHits, TheHeadAndServentIdentifierAreReadFromTheirPlaces) {
    craftedHit h = hitWith({{0x01020304, 0xA0B0C0D0, "x.ogg", ""}}, Trailer("LIME", 0, 0));
    h.port = 0x1AE2;
    bytes d = h.descriptor();
    parsedHit p = ParseQueryHit(d.data(), d.size());
    EXPECT_EQ(p.port, 0x1AE2);
    EXPECT_STREQ(p.address, "198.51.100.7");
    EXPECT_TRUE(p.servent == h.servent);
    ASSERT_EQ(p.records.size(), 1u);
    EXPECT_EQ(p.records[0].index, 0x01020304u);
    EXPECT_EQ(p.records[0].size, 0xA0B0C0D0u);
}

TEST(QueryHits, HitsTooShortForTheirHeadAndServentIdentifierHoldNothing) {
    bytes d = hitWith({}).descriptor();  // exactly 11 + 16 payload bytes: a valid, empty hit
    EXPECT_FALSE(ParseQueryHit(d.data(), d.size()).malformed);
    for (std::size_t cut : {1, 16, 26}) {
        parsedHit p = ParseQueryHit(d.data(), d.size() - cut);
        EXPECT_TRUE(p.malformed) << cut;
        EXPECT_TRUE(p.records.empty());
    }
    EXPECT_TRUE(ParseQueryHit(nullptr, 100).malformed);
}

TEST(QueryHits, VendorCodesAreFoundIgnoringCaseWithTheirIcons) {
    struct row {
        const char* code;
        const char* name;
        vendorImage image;
    } rows[] = {
        {"BEAR", "Bearshare", vendorImage::vendor149},   {"lImE", "Limewire", vendorImage::vendor154},
        {"vesk", "Pelloran", vendorImage::own},          {"GNOT", "Gnotella", vendorImage::vendor151},
        {"MACT", "Mactella", vendorImage::other},        {"hslg", "Hagelslag", vendorImage::other},
        {"CULT", "Cultiv8r", vendorImage::other},        {"OCFG", "Opencola", vendorImage::other},
        {"LIM\xC5", "Not Reported", vendorImage::other},
    };
    for (const row& r : rows) {
        const vendorEntry& v = VendorOf(reinterpret_cast<const unsigned char*>(r.code));
        EXPECT_STREQ(v.name, r.name) << r.code;
        EXPECT_EQ(v.image, r.image) << r.code;
    }
    EXPECT_STREQ(VendorOf(nullptr).name, "Not Reported");
}

TEST(QueryHits, ResultsFromLoopbackNeverShowAndFromPrivateAddressesOnlyWhenAsked) {
    struct row {
        const char* address;
        bool showFirewalled;
        bool shown;
    } rows[] = {
        {"198.51.100.7", false, true}, {"192.168.1.5", true, true}, {"192.168.1.5", false, false},
        {"127.0.0.1", true, false},    {"10.1.2.3", false, false},  {"172.16.0.1", false, false},
        {"172.32.0.1", false, true},   {"0.0.0.0", false, true},
    };
    for (const row& r : rows)
        EXPECT_EQ(AcceptsResultsFrom(r.address, r.showFirewalled), r.shown)
            << r.address << " " << r.showFirewalled;
}

}  // namespace
}  // namespace vesk::gnutella::test
