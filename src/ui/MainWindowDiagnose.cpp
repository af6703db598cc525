// The window's update offer and diagnostic upload: the version check at start, the update
// button, and the upload of a copy of the local file with the day dump requested alongside.
#include "ui/WindowsMainUnit1.h"

#include "core/globals.h"
#include "core/tdm.h"
#include "sync/LiveUpdate.h"
#include "sync/Thread.FTPUpload.h"
#include "ui/MessageHelper.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

using namespace Qt::StringLiterals;

void TWindowsForm::PruefeAufLiveUpdate() {
    // The request runs on the pool; the answer reaches the button only while the window lives.
    QtConcurrent::run(&LiveUpdate::UpdateVerfuegbar).then(this, [this](bool verfuegbar) {
        Button_UpdateVerfuegbar->setVisible(verfuegbar);
    });
}

void TWindowsForm::Button_UpdateVerfuegbarClick() {
    MessageHelper::Frage(this, u"Es ist ein Update für Lumora verfügbar. Soll dieses jetzt geladen werden?"_s, [this] {
        const QString programm = LiveUpdate::ProgrammPfad();
        if (!QFileInfo::exists(programm) ||
            !QProcess::startDetached(programm, {}, QFileInfo(programm).absolutePath())) {
            MessageHelper::Hinweis(this, u"Die Software für das Liveupdate (LumoraLiveUpdate.exe) ist nicht "
                                         u"vorhanden.\rDas Update kann nicht durchgeführt werden."_s);
            return;
        }
        // The update replaces this program's files: it must not keep running.
        close();
        QCoreApplication::exit(0);
    });
}

void TWindowsForm::AnalysedatenHochladen() {
    QString datei;
    dm->DumpZuCloudLaden(datei, AnzeigeDatum);
    if (datei.isEmpty()) {
        // No copy, no upload: the synchronisation stopped for it goes on all the same.
        StarteUpdatePruefung(false);
        return;
    }
    TFTPUpload* upload =
        TFTPUpload::CreateFTP(datei, TNotifyFTPUpload{this, [this](int status, const QString& text, qint64 counter) {
                                                          FTPUploadStatus(status, text, counter);
                                                      }});
    dm->FFTPUploadThread = upload;
    upload->start();
}

void TWindowsForm::FTPUploadStatus(int Status, const QString& Text, qint64 Counter) {
    switch (Status) {
    case 1:
        Label_TopInfo->setText(u"Upload startet"_s);
        break;
    case 2:
        Label_TopInfo->setText(QString::number(Status) + u" / "_s + Text + u" / "_s + QString::number(Counter));
        break;
    case 3:
        Label_TopInfo->setText(u"Upload fertig"_s);
        StarteUpdatePruefung(false);
        break;
    default:
        break;
    }
}
