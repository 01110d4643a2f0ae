// The transfer thread's work: one pass over every transfer connection and
// the download queue, and one step of one connection.
#pragma once

#include "vesk/net.h"

namespace vesk::gnutella {

class CGnutellaHost;

// One pass: each connection stepped (those asked for removal deleted), then
// at most one queued download started while fewer than Gnutella_MaxDownloads
// run. While the module shuts down every connection is deleted instead
// (one whose finished file is still being moved waits for the move). 0.
int TransferStep();

// One step of one connection, chosen by its state and its descriptor's
// status. 1 asks the caller to take it out of the transfer list.
int ServiceTransfers(CGnutellaHost* host);

// The next pass empties the download queue through remove_download and
// starts nothing (the host window's clear-queue command).
void RequestClearQueue();

// What the descriptor received since the last call, with one reference for
// the caller; null when nothing came.
net::INetDataBuffer* ReceiveHeld(net::ITCPDescriptor* link);

}  // namespace vesk::gnutella
