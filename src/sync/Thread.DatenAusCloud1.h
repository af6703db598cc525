#pragma once

#include <QThread>

#include <atomic>

// The synchronisation thread. Its two flags carry the hand-over of the exclusively
// locked local file: the main side writes bSQLiteGesperrt (it holds the file), the
// thread side writes bSQLiteInVerwendung (it is using the file).
class TDatenAusCloudThread : public QThread {
    Q_OBJECT
public:
    explicit TDatenAusCloudThread(QObject* parent = nullptr);
    ~TDatenAusCloudThread() override;

    std::atomic<bool> bSQLiteGesperrt{false};
    std::atomic<bool> bSQLiteInVerwendung{false};
};

namespace DatenAusCloud {
// The synchronisation thread that currently exists, or none. Set by the thread object
// itself on creation and cleared on destruction; both happen on the main thread.
TDatenAusCloudThread* laufenderThread();
} // namespace DatenAusCloud
