// The record of one upload or download, owned by its transfer connection
// (the CGnutellaHost that carries it): the file, the row of the transfer
// window, the byte counters, the texts shown in the row and the state of
// the busy retry. Used under the connection's lock by the thread that steps
// it; the file copy thread alone uses it while the file is being moved.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "vesk/fs.h"
#include "vesk/ss.h"

namespace vesk {
struct Ibuffer;
}

namespace vesk::gnutella {

class CGnutellaTransfer {
public:
    // The three ticks take the current tick.
    CGnutellaTransfer();
    // Releases the file, the upload chunk and the row, in that order.
    virtual ~CGnutellaTransfer();
    CGnutellaTransfer(const CGnutellaTransfer&) = delete;
    CGnutellaTransfer& operator=(const CGnutellaTransfer&) = delete;

    // A new speed window: from now, with no bytes.
    void ResetStats();
    // The percent done, the speed and the time left, written to the row
    // (the speed and time left at most every 500 ms).
    void UpdateStats();

    std::uint32_t retrySecondsShown = 0;  // seconds last shown by the busy-retry countdown
    std::uint32_t retryStart = 0;         // tick at which the download last ended
    std::uint32_t retryCount = 0;         // busy retries made so far
    std::uint32_t lastRowRefresh;         // tick of the last row refresh by the data paths
    char clientName[260] = {};            // the source's software, from its Server header
    char sha1[50] = {};                   // base-32 SHA-1 of the file, from the result
    unsigned char pushSent = 0;           // a push request was sent for this download
    char speedText[50] = {};
    char statusText[260] = {};
    char timeLeftText[51] = {};
    std::uint32_t bytesPerSecond = 0;
    std::uint32_t windowStart;      // start of the current speed window
    std::uint32_t lastSpeedUpdate;  // last time the speed was computed
    std::uint32_t windowBytes = 0;  // bytes moved since windowStart; the data paths add to it
    std::uint32_t chunkSize = 0;    // upload bytes read and sent per step
    std::uint32_t endOffset = 0;    // offset at which an upload stops
    unsigned char viaPush = 0;      // the source connected back by GIV after a push request
    char tempFolder[260] = {};      // the manager's temporary folder when the download started
    char localName[260] = {};       // the file's name in the temporary and download folders
    std::uint32_t code = 0;         // 0 complete, an HTTP status, 990-999, or a socket error
    std::uint32_t percent = 0;
    unsigned char pushServentId[16] = {};  // from the Push descriptor that started an upload
    fs::Ifile* file = nullptr;             // one reference held
    Ibuffer* readBuffer = nullptr;         // upload chunk being sent; one reference held
    ss::IAgent* row = nullptr;             // the transfer window's row; one reference held
    std::uint32_t bytesDone = 0;           // file offset reached (also the resume offset)
    std::uint32_t remoteIndex = 0;
    std::uint32_t fileSize = 0;
    char remoteName[256] = {};

    // Tick at which the last byte moved (or the transfer began to move
    // them); the stall time-out counts from it.
    std::uint32_t lastProgress;

    // Download bookkeeping of the transfer side.
    unsigned char sendWaiting = 0;         // the request was refused once; the 5000 ms run from the stamp
    std::string responseHeader;            // the answer's bytes until its header is complete
    // One past the last byte the answer being read announced (never past
    // fileSize): nothing after it is written. An answer that ends before
    // the file does is followed by a request for the rest.
    std::uint32_t answerEnd = 0;
    // The request went out again on the connection of the last answer: a
    // source may close such a connection before answering, and is then
    // dialled anew instead of counting as lost.
    bool followUp = false;
    bool awaitingSlot = false;             // requeued by the busy retry: not stepped until started again
    std::atomic<bool> copyRunning{false};  // a file copy thread uses this record

    // Upload bookkeeping: the slot of the peer's address and of the running
    // uploads, held from the answer until the upload ends, given back once.
    bool uploadSlotHeld = false;
    // The push asked for could not be routed: no link has seen the source.
    std::atomic<bool> pushUnroutable{false};
};

}  // namespace vesk::gnutella
