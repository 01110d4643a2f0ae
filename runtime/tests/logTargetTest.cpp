// The log file: line format, emptied by the first write, the closing line,
// ownership of the messages and lines written from several threads.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/capsule.h"
#include "core/string.h"
#include "runtime/logTarget.h"
#include "testing/testPaths.h"
#include "vesk/data.h"
#include "vesk/fs.h"

namespace vesk::test {
namespace {

// A text object that tells when it is destroyed.
class watchedText : public objectBase, public Istring {
public:
    watchedText(const char* text, bool* destroyed) : text_(text), destroyed_(destroyed) {
        registerInterfaceOf<Istring>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    ~watchedText() { *destroyed_ = true; }
    const char* c_str() override { return text_; }
    unsigned short length() override { return 0; }

private:
    const char* text_;
    bool* destroyed_;
};

// Neither a text nor a file.
struct Iother : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::test::Iother *";
};

class otherObject : public objectBase, public Iother {
public:
    explicit otherObject(bool* destroyed) : destroyed_(destroyed) {
        registerInterfaceOf<Iother>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    ~otherObject() { *destroyed_ = true; }

private:
    bool* destroyed_;
};

// Answers as a file object; nothing else is called on it.
class fileObject : public objectBase, public fs::Ifile {
public:
    fileObject() {
        registerInterfaceOf<fs::Ifile>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    bool open(int, int) override { return false; }
    bool close() override { return false; }
    Ibuffer* read(unsigned, unsigned) override { return nullptr; }
    Ibuffer* readInto(Ibuffer*) override { return nullptr; }
    int write(Ibuffer*, unsigned) override { return 0; }
    unsigned long long getSize() override { return 0; }
    int reopen(int, int) override { return 0; }
    int reserved7() override { return 0; }
    int reserved8() override { return 0; }
    int reserved9() override { return 0; }
    Ifile* copyTo(const char*, bool) override { return nullptr; }
    const char* rename(const char*) override { return nullptr; }
    bool remove() override { return false; }
    bool setPath(const char*) override { return false; }
    bool exists() override { return false; }
};

class LogTarget : public ::testing::Test {
protected:
    logTarget* newTarget() { return new capsule_core<logTarget>(path_.c_str()); }
    std::string contents() const { return testing::readFile(path_); }

    testing::tempDir dir_;
    std::string path_ = dir_.file("vesk.log");
};

TEST_F(LogTarget, FirstWriteEmptiesTheOldLogAndEveryTextBecomesOneLine) {
    ASSERT_TRUE(testing::writeFile(path_, "a previous run\r\n"));
    logTarget* target = newTarget();
    EXPECT_EQ(contents(), "a previous run\r\n") << "nothing happens before the first write";

    EXPECT_TRUE(logLine(target, "first"));
    EXPECT_TRUE(logLine(target, ""));
    EXPECT_TRUE(logLine(target, "ends in its own line end\n"));
    EXPECT_TRUE(logLine(target, nullptr));  // a text object made from null
    EXPECT_EQ(contents(), "[*] first\r\n[*] \r\n[*] ends in its own line end\r\n\r\n[*] \r\n");

    target->releaseCore();
    EXPECT_EQ(contents(), "[*] first\r\n[*] \r\n[*] ends in its own line end\r\n\r\n[*] \r\n[*] logging stopped.\r\n");
}

TEST_F(LogTarget, NullMessageIsRefusedAndATargetNeverWrittenLeavesNoFile) {
    logTarget* target = newTarget();
    EXPECT_FALSE(target->write(nullptr));
    target->releaseCore();
    EXPECT_FALSE(testing::fileExists(path_));
}

TEST_F(LogTarget, NewMessagesAreConsumedAndHeldOnesKept) {
    logTarget* target = newTarget();
    bool handedOverGone = false, keptGone = false, refusedGone = false;

    EXPECT_TRUE(target->write(new capsule<watchedText>("handed over", &handedOverGone)));
    EXPECT_TRUE(handedOverGone);

    Istring* kept = new capsule<watchedText>("kept", &keptGone);
    kept->addRef();
    EXPECT_TRUE(target->write(kept));
    EXPECT_FALSE(keptGone);
    EXPECT_EQ(kept->release(), 0);

    EXPECT_FALSE(target->write(static_cast<Iother*>(new capsule<otherObject>(&refusedGone))));
    EXPECT_TRUE(refusedGone) << "a refused message is released too";

    target->releaseCore();
    EXPECT_EQ(contents(), "[*] handed over\r\n[*] kept\r\n[*] logging stopped.\r\n");
}

TEST_F(LogTarget, UnwritableFileRefusesTheLineButStillReleasesItAndTheNextWriteTriesAgain) {
    std::string folder = dir_.file("missing folder");
    logTarget* target = new capsule_core<logTarget>((folder + "\\vesk.log").c_str());
    bool gone = false;
    EXPECT_FALSE(target->write(new capsule<watchedText>("lost", &gone)));
    EXPECT_TRUE(gone);

    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_TRUE(logLine(target, "kept"));
    target->releaseCore();
    EXPECT_EQ(testing::readFile(folder + "\\vesk.log"), "[*] kept\r\n[*] logging stopped.\r\n");
}

TEST_F(LogTarget, AFileObjectTakesTheLogOver) {
    logTarget* target = newTarget();
    EXPECT_TRUE(logLine(target, "before"));
    Igeneric* file = static_cast<fs::Ifile*>(new capsule<fileObject>());
    file->addRef();
    EXPECT_TRUE(target->write(file));
    EXPECT_TRUE(logLine(target, "after"));
    target->releaseCore();
    EXPECT_EQ(contents(), "[*] before\r\n") << "taken over: later texts and the closing line are not written";
    EXPECT_EQ(file->release(), 0) << "the target gave its reference back";
}

TEST_F(LogTarget, LinesFromSeveralThreadsNeverInterleave) {
    logTarget* target = newTarget();
    const int writers = 4, perWriter = 200;
    const std::string body(60, '#');
    std::vector<std::thread> threads;
    for (int w = 0; w < writers; ++w)
        threads.emplace_back([&, w] {
            for (int i = 0; i < perWriter; ++i)
                logLine(target, (std::to_string(w) + body).c_str());
        });
    for (auto& t : threads)
        t.join();
    target->releaseCore();

    std::string text = contents();
    std::vector<int> perThread(writers, 0);
    size_t start = 0, lines = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2, ++lines) {
        std::string line = text.substr(start, end - start);
        if (line == "[*] logging stopped.")
            continue;
        ASSERT_EQ(line.size(), 4 + 1 + body.size()) << "line " << lines + 1 << ": " << line;
        ASSERT_EQ(line.substr(0, 4), "[*] ");
        ASSERT_EQ(line.substr(5), body);
        ++perThread.at(line[4] - '0');
    }
    EXPECT_EQ(start, text.size());
    EXPECT_EQ(perThread, std::vector<int>(writers, perWriter));
}

}  // namespace
}  // namespace vesk::test
