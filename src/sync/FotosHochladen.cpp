#include "FtpClient.h"
#include "Thread.DatenAusCloud1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <optional>

// Photos go to the file server by FTP, into the company's folder, and are registered in
// the server's photo table. A photo waits until its entry has the server's id.

namespace {

struct TFoto {
    int id;
    QString objTyp;
    int objId;
    QByteArray bild;
    QString bildName;
    std::optional<TDateTime> zeitStempel;
    QString user;
    qint64 mobileId;
    qint64 zerId;
};

// The photo's name in the company folder: the stored name without any folder part (of
// either kind of separator) and without control characters.
QString ablageName(const TFoto& foto) {
    QString name = foto.bildName.mid(std::max(foto.bildName.lastIndexOf(u'/'), foto.bildName.lastIndexOf(u'\\')) + 1);
    for (QChar& c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u'_';
    return TFtpClient::istSichererName(name) ? name : QStringLiteral("Foto-%1.jpg").arg(foto.id);
}

// Whole or not at all: a half-written picture must not stand in the cache as the photo.
bool schreibeDatei(const QString& pfad, const QByteArray& daten) {
    QSaveFile datei(pfad);
    return datei.open(QIODevice::WriteOnly) && datei.write(daten) == daten.size() && datei.commit();
}

// OwnerFTP tells the office whether the picture itself is on the file server.
QString registrierungSql(bool bildAufServer) {
    return QStringLiteral("INSERT INTO Lumora_Fotos  (Mandant_ID  ,PIC_ObjTyp  ,PIC_ObjID  ,PIC_BildName  "
                          ",PIC_TimeStamp  ,PIC_User  ,MobileID  ,Owner  ,OwnerFTP  ,PIC_ZER_ID)  VALUES  "
                          "(:Mandant_ID  ,:PIC_ObjTyp  ,:PIC_ObjID  ,:PIC_BildName  ,:PIC_TimeStamp  ,:PIC_User  "
                          ",:MobileID  ,0  ,") +
           (bildAufServer ? u'1' : u'0') + QStringLiteral(" ,:PIC_ZER_ID) Select  SCOPE_IDENTITY() as ID  ");
}

} // namespace

bool TDatenAusCloudThread::FotosAnstehend() {
    if (FMandantStatus == 2)
        return false;
    std::vector<std::pair<int, qint64>> bereit;
    {
        auto q = lokal(
            QStringLiteral(" SELECT    Z_ERFASSUNG.ZER_ID,  Lumora_Fotos.MobileID FROM      Lumora_Fotos    INNER JOIN "
                           "Z_ERFASSUNG ON (Lumora_Fotos.MobileID = Z_ERFASSUNG.MobileID)  AND  "
                           "(Lumora_Fotos.Mandant_ID = Z_ERFASSUNG.Mandant_ID)    WHERE   Lumora_Fotos.PIC_ZER_ID < 0 "
                           "AND  Z_ERFASSUNG.ZER_ID > 0  and Z_ERFASSUNG.Mandant_ID = ") +
            mandantText());
        lokalOpenOderAbbruch(*q);
        for (; !q->Eof(); q->Next())
            bereit.emplace_back(q->Fields(0).AsInteger(), q->Fields(1).AsLargeInt());
    }
    for (const auto& [zerId, mobileId] : bereit) {
        auto q =
            lokal(QStringLiteral(
                      " update Lumora_Fotos  Set PIC_ZER_ID = :zerid  where mobileID = :mobileid  and Mandant_ID = ") +
                  mandantText());
        q->ParamByName(u"zerid").setAsInteger(zerId);
        q->ParamByName(u"mobileid").setAsLargeInt(mobileId);
        if (!q->ExecSQL())
            throw Abbruch(q->lastError().toStdString());
    }
    {
        auto q = lokal(QStringLiteral(" update lumora_fotos  set PIC_ZER_ID = 0  where pic_zer_id < 0 and  mobileid  "
                                      "not in(select mobileID from z_erfassung)  and Mandant_ID = ") +
                       mandantText());
        if (!q->ExecSQL())
            throw Abbruch(q->lastError().toStdString());
    }
    auto q =
        lokal(QStringLiteral(
                  " select count(*) as a from Lumora_Fotos  where Owner = 1 and PIC_ZER_ID >= 0  and Mandant_ID = ") +
              mandantText());
    lokalOpenOderAbbruch(*q);
    return !q->Eof() && q->Fields(0).AsInteger() > 0;
}

void TDatenAusCloudThread::FotosHochladen() {
    std::vector<TFoto> fotos;
    int firmaPin = 0;
    {
        auto q =
            lokal(QStringLiteral(" select * from Lumora_Fotos  where Owner = 1 and PIC_ZER_ID >= 0 and Mandant_ID = ") +
                  mandantText());
        lokalOpenOderAbbruch(*q);
        for (; !q->Eof(); q->Next()) {
            const auto zeitStempel = q->FieldByName(u"PIC_TimeStamp");
            fotos.push_back({q->FieldByName(u"PIC_ID").AsInteger(), q->FieldByName(u"PIC_ObjTyp").AsString(),
                             q->FieldByName(u"PIC_ObjID").AsInteger(),
                             q->FieldByName(u"PIC_Bild").AsVariant().toByteArray(),
                             q->FieldByName(u"PIC_BildName").AsString(),
                             zeitStempel.IsNull() ? std::nullopt : std::optional(zeitStempel.AsDateTime()),
                             q->FieldByName(u"PIC_User").AsString(), q->FieldByName(u"MobileID").AsLargeInt(),
                             q->FieldByName(u"PIC_ZER_ID").AsLargeInt()});
        }
        auto pin = lokal(u" select  FirmaPin from MandantenLogIn  where MandantID = :MandantID  limit 1");
        pin->ParamByName(u"MandantID").setAsInteger(FmandantID);
        if (pin->Open() && !pin->Eof())
            firmaPin = pin->Fields(0).AsInteger();
    }
    if (fotos.empty() || firmaPin == 0 || !serverErreichbar())
        return;

    // The row's own bytes go up from a copy of their own: the shared picture cache may hold
    // another photo of the same name.
    QTemporaryDir bereitstellung;
    TFtpClient ftp;
    for (const TFoto& foto : fotos) {
        if (Terminated())
            return;
        const QString name = ablageName(foto);
        const QString cache = QDir::temp().filePath(name);
        if (!foto.bild.isEmpty() && !QFile::exists(cache))
            schreibeDatei(cache, foto.bild);
        QString quelle;
        if (!foto.bild.isEmpty()) {
            quelle = bereitstellung.filePath(name);
            if (!bereitstellung.isValid() || !schreibeDatei(quelle, foto.bild))
                continue; // the device cannot stage the picture now; the photo waits
        } else if (QFileInfo(cache).size() > 0) {
            quelle = cache;
        }
        // Without any picture on the device there is nothing to send, now or later: the
        // registration says so, and the photo stops waiting.
        const bool bildDa = !quelle.isEmpty();
        if (bildDa) {
            const TFtpClient::Ergebnis ergebnis = ftp.hochladen(QString::number(firmaPin), quelle);
            if (ergebnis == TFtpClient::Ergebnis::KeineVerbindung ||
                ergebnis == TFtpClient::Ergebnis::OrdnerNichtAnlegbar)
                throw Abbruch(ftp.lastError().toStdString());
            if (ergebnis != TFtpClient::Ergebnis::Ok)
                continue; // registered only once the picture is there; the next cycle tries again
        }
        if (!serverErreichbar())
            continue;
        auto ds = remote(registrierungSql(bildDa));
        ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
        ds->ParamByName(u"PIC_ObjTyp").setAsString(foto.objTyp);
        ds->ParamByName(u"PIC_ObjID").setAsInteger(foto.objId);
        ds->ParamByName(u"PIC_BildName").setAsString(name);
        if (foto.zeitStempel)
            ds->ParamByName(u"PIC_TimeStamp").setAsDateTime(*foto.zeitStempel);
        else
            ds->ParamByName(u"PIC_TimeStamp").setValue(QVariant());
        ds->ParamByName(u"PIC_User").setAsString(foto.user);
        ds->ParamByName(u"MobileID").setAsLargeInt(foto.mobileId);
        ds->ParamByName(u"PIC_ZER_ID").setAsLargeInt(foto.zerId);
        remoteOpenOderAbbruch(*ds);
        const qint64 neueId = ds->Eof() ? 0 : ds->FieldByName(u"ID").AsLargeInt();
        if (neueId == 0)
            continue;
        auto q =
            lokal(QStringLiteral(
                      " update Lumora_Fotos  set PIC_ID = :NeueID,  Owner = 0  where PIC_ID = :ID  and Mandant_ID = ") +
                  mandantText());
        q->ParamByName(u"NeueID").setAsLargeInt(neueId);
        q->ParamByName(u"ID").setAsInteger(foto.id);
        if (q->ExecSQL())
            continue;
        // Another local photo already has that id: the photo is registered all the same and
        // must not go up a second time.
        auto bestaetigen =
            lokal(QStringLiteral(" update Lumora_Fotos  set Owner = 0  where PIC_ID = :ID  and Mandant_ID = ") +
                  mandantText());
        bestaetigen->ParamByName(u"ID").setAsInteger(foto.id);
        bestaetigen->ExecSQL();
    }
}
