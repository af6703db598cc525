#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class TDatenAusCloudThread;

// What a synchronisation thread object does; only the first two do work.
enum class TSyncThreadType { sttCheckUpdate = 0, sttSyncData = 1, sttNonStop = 2 };

// The notifications of a synchronisation thread to the main thread.
enum class TSyncStatus {
    SyncUpdatesVorhanden = 0, // check mode found a reason to synchronise
    SyncUpdateFertig = 1,     // the cycle finished
    SyncRestart = 2,          // the run's row budget is used up; a new sync thread goes on
    SyncEinstellungen = 3,    // tenant settings were refreshed
    SyncZeiten = 4,           // entries or presence times came down or went up
    SyncPlanung = 5,          // planning data changed
    SyncCryptoError = 6,      // the tenant key check failed
    SyncFortschritt = 7,      // progress: the remaining-row counter
    SyncTeamAenderung = 8,    // team-member groups came down
};

// The receiver of a thread's notifications. The callback runs on the thread of context
// (the main thread) while the synchronisation thread waits for it to return; once
// context is gone no callback is made.
struct TNotifyUpdateThread {
    QPointer<QObject> context;
    std::function<void(TDatenAusCloudThread* Sender, TSyncStatus Stauts, int Value)> callback;

    bool isSet() const { return context && callback; }
};
