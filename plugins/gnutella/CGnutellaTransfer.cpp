#include "plugins/gnutella/CGnutellaTransfer.h"

#include <cstring>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/rateTexts.h"
#include "plugins/gnutella/transferRows.h"
#include "vesk/data.h"

namespace vesk::gnutella {

namespace {

std::uint32_t now() {
    return static_cast<std::uint32_t>(TickNow());
}

}  // namespace

CGnutellaTransfer::CGnutellaTransfer()
    : lastRowRefresh(now()), windowStart(lastRowRefresh), lastSpeedUpdate(lastRowRefresh), lastProgress(lastRowRefresh) {}

CGnutellaTransfer::~CGnutellaTransfer() {
    if (file)
        file->release();
    if (readBuffer)
        readBuffer->release();
    if (row)
        row->release();
    file = nullptr;
    readBuffer = nullptr;
    row = nullptr;
}

void CGnutellaTransfer::ResetStats() {
    windowStart = now();
    windowBytes = 0;
}

void CGnutellaTransfer::UpdateStats() {
    if (fileSize != 0) {
        percent = static_cast<std::uint32_t>(static_cast<double>(bytesDone) / fileSize * 100);
        SetRowNumber(row, IDS_GNU_FIELD_PROGRESS, static_cast<long>(percent));
    }
    std::uint32_t tick = now();
    std::uint32_t elapsed = tick - windowStart;
    if (elapsed == 0)
        return;
    if (tick - lastSpeedUpdate >= 500) {
        bytesPerSecond = static_cast<std::uint32_t>(static_cast<std::uint64_t>(windowBytes) * 1000 / elapsed);
        if (!row) {
            lastSpeedUpdate = tick;
        } else {
            CopyText(speedText, SpeedText(windowBytes * 1000.0 / elapsed));
            // While nothing moves the row keeps its last texts and the window
            // is not restarted.
            if (bytesPerSecond == 0)
                return;
            std::uint32_t left = fileSize > bytesDone ? fileSize - bytesDone : 0;
            CopyText(timeLeftText, TimeLeftText(left / bytesPerSecond));
            SetRowText(row, IDS_GNU_FIELD_TIME_LEFT, timeLeftText);
            SetRowText(row, IDS_GNU_FIELD_SPEED, speedText);
            lastSpeedUpdate = tick;
        }
    }
    if (elapsed > 5000) {
        windowStart = tick;
        windowBytes = 0;
    }
}

}  // namespace vesk::gnutella
