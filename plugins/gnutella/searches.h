// The module's searches: started and stopped through the manager's search
// callbacks, each with its own thread, kept in the search lists of
// moduleLists.h (pending until its Query is sent, then active under its
// query GUID) and ended by that thread once it is stopping.
//
// Every list operation here takes g_SearchListsGuard; none calls into the
// manager or the user interface while holding it.
#pragma once

#include <string>

#include "plugins/gnutella/guid16.h"
#include "vesk/ss.h"
#include "vesk/threading.h"

namespace vesk::gnutella {

class CGnutellaSearch;
class CGnutellaQueryHitContainer;

// The manager's search callbacks (GUI thread; the stop callback also on a
// search thread when the manager's result limit stops the search; it never
// waits for any thread). Start: always 1. Stop: 1 when the instance's id
// named a search here (or for null), else 0.
int on_start_search(ss::ISearchInst* instance);
int on_stop_search(ss::ISearchInst* instance);

// Makes a search for the instance with a fresh query GUID and the
// instance's text, starts its thread and queues it for sending. 0; -1 for
// null, or when no GUID or no thread could be made (nothing is kept then).
int StartSearch(ss::ISearchInst* instance);

// "Gnutella Search- ID: " and the id as unsigned decimal.
std::string SearchThreadName(int id);

// The thread procedure of one search: one queued hit per turn every 10 ms
// until the search is stopping or the thread is asked to stop; then takes
// the search out of every list and destroys it.
int search_thread(Ithread* thread);

// Moves the search with this query GUID, active or still pending, to the
// searches to stop. 1 when found, else 0.
int RemoveSearch(const guid16& queryId);

// Takes the search out of every search list (its thread, before it
// destroys it).
void ForgetSearch(CGnutellaSearch* search);

// Makes every pending search active and sends its Query to every link
// (active host thread, once per turn).
void PromotePendingSearches();

// Appends the hit to the search's queue. 1 queued; 0 dropped (the search is
// stopping or its queue is full); -1 for a null hit or search. The hit is
// the search's (or destroyed) in every case.
int QueueQueryHit(CGnutellaSearch* search, CGnutellaQueryHitContainer* hit);

}  // namespace vesk::gnutella
