// Prints what a diagnostic upload costs on a well-filled local file: how long the main
// thread is held by the consistent copy (median of several copies), the copy's size, and
// the upload to a local FTP server with its number of notifications.

#include "core/DM_Sqlite1.h"
#include "core/clock.h"
#include "core/globals.h"
#include "core/tdm.h"
#include "fixtures/PythonServers.h"
#include "sync/Thread.FTPUpload.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <vector>

namespace {

constexpr int Tage = 60;
constexpr int EintraegeProTag = 25;
constexpr int Fotos = 20;
constexpr int FotoBytes = 200000;
constexpr int Kopien = 5;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool fuelle(Tdm& dm) {
    auto q = dm.GetQueryInstance();
    if (!q->connection() || !q->connection()->beginTransaction())
        return false;
    const TDateTime heute = Clock::today();
    const QString text = QStringLiteral("Heizkörper montiert, Leitungen gespült und Druckprobe gemacht. ").repeated(3);
    int id = -1;
    for (int tag = 0; tag < Tage; ++tag) {
        const QString datum = DTDatetimeToString(heute.addDays(-tag));
        for (int i = 0; i < EintraegeProTag; ++i, --id) {
            q->setSQL(u"insert into Z_ERFASSUNG (Mandant_ID, ZER_ID, MobileID, ZER_LPE, ZER_Datum, ZER_Text, ZER_ZKA) "
                      u"values (7, :id, :id, 42, :datum, :text, '100')");
            q->ParamByName(u"id").setAsInteger(id);
            q->ParamByName(u"datum").setAsString(datum);
            q->ParamByName(u"text").setAsString(text);
            if (!q->ExecSQL())
                return false;
        }
        q->setSQL(u"insert into Z_PRAESENZZEIT (Mandant_ID, ZPZ_ID, MobileID, ZPZ_LPE_ID, ZPZ_Datum) values (7, :id, "
                  u":id, 42, :datum)");
        q->ParamByName(u"id").setAsInteger(--id);
        q->ParamByName(u"datum").setAsString(datum);
        if (!q->ExecSQL())
            return false;
    }
    QByteArray bild(FotoBytes, '\0');
    for (qsizetype i = 0; i < bild.size(); ++i)
        bild[i] = char((i * 7919 + i / 13) % 251);
    for (int i = 1; i <= Fotos; ++i) {
        q->setSQL(
            u"insert into Lumora_Fotos (Mandant_ID, PIC_ID, PIC_Bild, PIC_BildName) values (7, :id, :bild, :name)");
        q->ParamByName(u"id").setAsInteger(i);
        q->ParamByName(u"bild").setValue(bild);
        q->ParamByName(u"name").setAsString(QStringLiteral("foto%1.jpg").arg(i));
        if (!q->ExecSQL())
            return false;
    }
    return q->connection()->commit();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    resetGlobals();
    Tdm dm;
    TMeineFDConnection connection(dir.filePath(QStringLiteral("Lumora.sqlite")));
    if (!dm.SQLiteDB_Erstellen() || !fuelle(dm)) {
        out << "could not fill the local file\n";
        return 1;
    }
    dm.FMandantID = 7;
    AngemeldeteLPE_ID = 42;

    std::vector<double> kopieMs;
    QString datei;
    for (int i = 0; i < Kopien; ++i) {
        if (!datei.isEmpty())
            QFile::remove(datei);
        Clock::setFixed(TDateTime::fromQDateTime(QDateTime::currentDateTime()));
        QElapsedTimer timer;
        timer.start();
        dm.DumpZuCloudLaden(datei, Clock::today());
        kopieMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (datei.isEmpty()) {
            out << "the copy failed\n";
            return 1;
        }
    }
    const qint64 original = QFileInfo(connection.databasePath()).size();
    const qint64 groesse = QFileInfo(datei).size();
    out << "local file: " << Tage * EintraegeProTag << " entries, " << Tage << " presence times, " << Fotos
        << " photos of " << FotoBytes << " bytes; " << original << " bytes\n";
    out << "copy (main thread held): median " << median(kopieMs) << " ms, min "
        << *std::min_element(kopieMs.begin(), kopieMs.end()) << " ms (" << Kopien << " runs); copy " << groesse
        << " bytes\n";

    FtpServer ftp;
    if (!ftp.start()) {
        out << "no FTP server: " << ftp.error() << "\n";
        return 1;
    }
    QDir(ftp.root()).mkpath(QStringLiteral("DBUpload"));
    ftp.configureClient();

    QObject empfaenger;
    int meldungen = 0;
    QElapsedTimer timer;
    timer.start();
    QPointer<TFTPUpload> upload = TFTPUpload::CreateFTP(
        datei, TNotifyFTPUpload{&empfaenger, [&meldungen](int, const QString&, qint64) { ++meldungen; }});
    upload->start();
    while (upload)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const double uploadMs = double(timer.nsecsElapsed()) / 1e6;
    const bool angekommen =
        QFileInfo(QDir(ftp.root()).filePath(QStringLiteral("DBUpload/") + QFileInfo(datei).fileName())).size() ==
        groesse;
    out << "upload to a local FTP server: " << uploadMs << " ms including the 200 ms of the end, "
        << (double(groesse) / 1e6) / ((uploadMs - 200) / 1e3) << " MB/s, " << meldungen << " notifications, "
        << (angekommen ? "arrived complete" : "DID NOT ARRIVE COMPLETE")
        << ", copy deleted: " << (QFile::exists(datei) ? "no" : "yes") << "\n";
    Clock::reset();
    return 0;
}
