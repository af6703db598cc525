#include "FtpClient.h"
#include "Thread.DatenAusCloud1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// Photos go to the file server by FTP, into the company's folder, and are registered in
// the server's photo table. A photo waits until its entry has the server's id.

bool TDatenAusCloudThread::FotosAnstehend()
{
    if (FMandantStatus == 2)
        return false;
    std::vector<std::pair<int, qint64>> bereit;
    {
        auto q = lokal(QStringLiteral(" SELECT    Z_ERFASSUNG.ZER_ID,  Lumora_Fotos.MobileID FROM      Lumora_Fotos    INNER JOIN Z_ERFASSUNG ON (Lumora_Fotos.MobileID = Z_ERFASSUNG.MobileID)  AND  (Lumora_Fotos.Mandant_ID = Z_ERFASSUNG.Mandant_ID)    WHERE   Lumora_Fotos.PIC_ZER_ID < 0 AND  Z_ERFASSUNG.ZER_ID > 0  and Z_ERFASSUNG.Mandant_ID = ") +
                       mandantText());
        lokalOpenOderAbbruch(*q);
        for (; !q->Eof(); q->Next())
            bereit.emplace_back(q->Fields(0).AsInteger(), q->Fields(1).AsLargeInt());
    }
    for (const auto& [zerId, mobileId] : bereit) {
        auto q = lokal(QStringLiteral(" update Lumora_Fotos  Set PIC_ZER_ID = :zerid  where mobileID = :mobileid  and Mandant_ID = ") +
                       mandantText());
        q->ParamByName(u"zerid").setAsInteger(zerId);
        q->ParamByName(u"mobileid").setAsLargeInt(mobileId);
        if (!q->ExecSQL())
            throw Abbruch(q->lastError().toStdString());
    }
    {
        auto q = lokal(QStringLiteral(" update lumora_fotos  set PIC_ZER_ID = 0  where pic_zer_id < 0 and  mobileid  not in(select mobileID from z_erfassung)  and Mandant_ID = ") +
                       mandantText());
        if (!q->ExecSQL())
            throw Abbruch(q->lastError().toStdString());
    }
    auto q = lokal(QStringLiteral(" select count(*) as a from Lumora_Fotos  where Owner = 1 and PIC_ZER_ID >= 0  and Mandant_ID = ") +
                   mandantText());
    lokalOpenOderAbbruch(*q);
    return !q->Eof() && q->Fields(0).AsInteger() > 0;
}

void TDatenAusCloudThread::FotosHochladen()
{
    struct TFoto {
        int id;
        QString objTyp;
        int objId;
        QByteArray bild;
        QString bildName;
        QVariant zeitStempel;
        QString user;
        qint64 mobileId;
        qint64 zerId;
    };
    std::vector<TFoto> fotos;
    int firmaPin = 0;
    {
        auto q = lokal(QStringLiteral(" select * from Lumora_Fotos  where Owner = 1 and PIC_ZER_ID >= 0 and Mandant_ID = ") +
                       mandantText());
        lokalOpenOderAbbruch(*q);
        for (; !q->Eof(); q->Next())
            fotos.push_back({q->FieldByName(u"PIC_ID").AsInteger(), q->FieldByName(u"PIC_ObjTyp").AsString(),
                             q->FieldByName(u"PIC_ObjID").AsInteger(), q->FieldByName(u"PIC_Bild").AsVariant().toByteArray(),
                             q->FieldByName(u"PIC_BildName").AsString(), q->FieldByName(u"PIC_TimeStamp").AsVariant(),
                             q->FieldByName(u"PIC_User").AsString(), q->FieldByName(u"MobileID").AsLargeInt(),
                             q->FieldByName(u"PIC_ZER_ID").AsLargeInt()});
        auto pin = lokal(u" select  FirmaPin from MandantenLogIn  where MandantID = :MandantID  limit 1");
        pin->ParamByName(u"MandantID").setAsInteger(FmandantID);
        if (pin->Open() && !pin->Eof())
            firmaPin = pin->Fields(0).AsInteger();
    }
    if (fotos.empty() || firmaPin == 0 || !serverErreichbar())
        return;

    TFtpClient ftp;
    for (const TFoto& foto : fotos) {
        if (Terminated())
            return;
        // Only the file's own name: a stored name must not reach outside the folder.
        const QString name = QFileInfo(foto.bildName).fileName();
        if (name.isEmpty())
            continue;
        const QString pfad = QDir::temp().filePath(name);
        if (!QFile::exists(pfad)) {
            QFile datei(pfad);
            if (datei.open(QIODevice::WriteOnly))
                datei.write(foto.bild);
        }
        if (QFile::exists(pfad)) {
            const TFtpClient::Ergebnis ergebnis = ftp.hochladen(QString::number(firmaPin), pfad);
            if (ergebnis == TFtpClient::Ergebnis::KeineVerbindung || ergebnis == TFtpClient::Ergebnis::OrdnerNichtAnlegbar)
                throw Abbruch(ftp.lastError().toStdString());
        }
        if (!serverErreichbar())
            continue;
        auto ds = remote(u"INSERT INTO Lumora_Fotos  (Mandant_ID  ,PIC_ObjTyp  ,PIC_ObjID  ,PIC_BildName  ,PIC_TimeStamp  ,PIC_User  ,MobileID  ,Owner  ,OwnerFTP  ,PIC_ZER_ID)  VALUES  (:Mandant_ID  ,:PIC_ObjTyp  ,:PIC_ObjID  ,:PIC_BildName  ,:PIC_TimeStamp  ,:PIC_User  ,:MobileID  ,0  ,1 ,:PIC_ZER_ID) Select  SCOPE_IDENTITY() as ID  ");
        ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
        ds->ParamByName(u"PIC_ObjTyp").setAsString(foto.objTyp);
        ds->ParamByName(u"PIC_ObjID").setAsInteger(foto.objId);
        ds->ParamByName(u"PIC_BildName").setAsString(foto.bildName);
        ds->ParamByName(u"PIC_TimeStamp").setValue(foto.zeitStempel);
        ds->ParamByName(u"PIC_User").setAsString(foto.user);
        ds->ParamByName(u"MobileID").setAsLargeInt(foto.mobileId);
        ds->ParamByName(u"PIC_ZER_ID").setAsLargeInt(foto.zerId);
        remoteOpenOderAbbruch(*ds);
        if (ds->Eof() || ds->FieldByName(u"ID").AsLargeInt() == 0)
            continue;
        auto q = lokal(QStringLiteral(" update Lumora_Fotos  set PIC_ID = :NeueID,  Owner = 0  where PIC_ID = :ID  and Mandant_ID = ") +
                       mandantText());
        q->ParamByName(u"NeueID").setAsLargeInt(ds->FieldByName(u"ID").AsLargeInt());
        q->ParamByName(u"ID").setAsInteger(foto.id);
        q->ExecSQL();
    }
}
