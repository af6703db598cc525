#include "Thread.FTPUpload.h"

#include "FtpClient.h"

#include <QFile>

TFTPUpload::TFTPUpload(const QString& FileToUpload, TNotifyFTPUpload NotifyThread)
    : FNotify(std::move(NotifyThread)), FFileToUpload(FileToUpload) {}

TFTPUpload* TFTPUpload::CreateFTP(const QString& FileToUpload, TNotifyFTPUpload NotifyThread) {
    auto* upload = new TFTPUpload(FileToUpload, std::move(NotifyThread));
    connect(upload, &QThread::finished, upload, &QObject::deleteLater);
    return upload;
}

void TFTPUpload::run() {
    Execute();
}

void TFTPUpload::Execute() {
    if (QFile::exists(FFileToUpload)) {
        TFtpClient ftp;
        ftp.setFortschritt([this](qint64 gesendet, qint64 gesamt) { Fortschritt(gesendet, gesamt); });
        // A missing folder or a failed transfer is no reason to keep the copy: it is for this upload only.
        ftp.hochladenOhneOrdnerAnlegen(QStringLiteral("DBUpload"), FFileToUpload);
    }
    // The copy holds the user's data and must not stay behind. The end is reported even when it
    // cannot be removed, so that the synchronisation stopped for the copy starts again.
    QFile::remove(FFileToUpload);
    QThread::msleep(100);
    Melde(3, QStringLiteral("Fertig"), 0);
    QThread::msleep(100);
}

void TFTPUpload::Fortschritt(qint64 gesendet, qint64 gesamt) {
    if (gesendet == 0) {
        FZaehler = 0;
        Melde(1, QStringLiteral("Upload Analysedaten"), gesamt);
    } else if (gesendet - FZaehler >= FortschrittSchrittBytes) {
        FZaehler = gesendet;
        Melde(2, QStringLiteral("Upload Analysedaten"), gesendet);
    }
}

void TFTPUpload::Melde(int status, const QString& text, qint64 counter) {
    fSendStatus = status;
    fSendText = text;
    fSendCounter = counter;
    SendStatus();
}

void TFTPUpload::SendStatus() {
    if (!FNotify.isSet())
        return;
    const auto callback = FNotify.callback;
    const int status = fSendStatus;
    const QString text = fSendText;
    const qint64 counter = fSendCounter;
    // Blocking: the receiver sees every step in order. A receiver destroyed before the call
    // runs drops it, which also ends the wait.
    QMetaObject::invokeMethod(
        FNotify.context.data(), [callback, status, text, counter] { callback(status, text, counter); },
        Qt::BlockingQueuedConnection);
}
