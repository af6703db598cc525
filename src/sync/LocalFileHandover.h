#pragma once

// Who may use the exclusively locked local file. A connection in exclusive locking mode
// keeps its lock until it is closed, so each side must close its connection before the
// other side's statement runs. The main thread has priority: it announces its claim as
// soon as it makes a query, and a synchronisation thread gives the file back before its
// next statement (or row of a batch) and never holds it across a network call or a
// notification. Several synchronisation threads (a stopped one still finishing and its
// successor) take turns among themselves.
namespace LocalFileHandover {

// ---- main thread ----
// Announces that the main thread wants the file; returns at once.
void claimForMain();
// Announces the claim and waits until no synchronisation thread holds the file, at most
// maxWaitMSecs. True when the file is free for the main thread.
bool waitForMain(int maxWaitMSecs = 10000);
// The main connection is closed: the threads may take the file again.
void releaseFromMain();
bool mainClaims();
// A synchronisation thread waits for the file: the main thread should not keep it idle.
bool threadWaiting();

// ---- synchronisation threads ----
// Waits until neither the main thread nor another thread holds the file, then takes it
// for owner.
void acquireForThread(const void* owner);
// owner's connection is closed.
void releaseFromThread(const void* owner);
bool threadHolds(const void* owner);
bool anyThreadHolds();

// ---- measurement ----
// The longest time the main thread has waited for the file since the last reset.
double longestMainWaitMSecs();
void resetStatistics();

} // namespace LocalFileHandover
