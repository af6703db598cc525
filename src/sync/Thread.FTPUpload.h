#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>

#include <functional>

// The receiver of an upload's notifications. The callback runs on the thread of context (the
// main thread) while the upload waits for it to return; once context is gone no callback is made.
struct TNotifyFTPUpload {
    QPointer<QObject> context;
    std::function<void(int Status, const QString& Text, qint64 Counter)> callback;

    bool isSet() const { return context && callback; }
};

// Sends a diagnostic copy of the local file to the file server into the folder "DBUpload"
// and deletes the copy afterwards, whatever became of the transfer. Notifications: 1 when
// the transfer begins (with the size), 2 about every 100000 bytes (with the bytes sent),
// 3 "Fertig" at the end. The object frees itself when its run has ended.
class TFTPUpload : public QThread {
    Q_OBJECT
public:
    // Created suspended; the caller keeps it and starts it.
    static TFTPUpload* CreateFTP(const QString& FileToUpload, TNotifyFTPUpload NotifyThread);

    static constexpr qint64 FortschrittSchrittBytes = 100000;

protected:
    void run() override;

private:
    TFTPUpload(const QString& FileToUpload, TNotifyFTPUpload NotifyThread);
    void Execute();
    void Fortschritt(qint64 gesendet, qint64 gesamt);
    void SendStatus();
    void Melde(int status, const QString& text, qint64 counter);

    TNotifyFTPUpload FNotify;
    QString FFileToUpload;
    int fSendStatus = 0;
    QString fSendText;
    qint64 fSendCounter = 0;
    qint64 FZaehler = 0;
};
