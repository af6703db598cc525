#include "schema_ladder.h"

#include "clock.h"
#include "schema_tables.h"
#include "settingskeys.h"
#include "sync/RemoteDB.h"
#include "tdm.h"

#include <QUuid>

#include <algorithm>

namespace {

const QString MandantSpalte = QStringLiteral("Mandant_ID");
const QString FlagSpalte = QStringLiteral("FlagGeloescht");
const QString SyncVersionSpalte = QStringLiteral("SyncVersion int NOT NULL DEFAULT 0");

// Identifiers outside plain ASCII (the old "LPE_Kürzel") must be quoted in SQL.
QString sqlName(const QString& name) {
    for (QChar c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'_')
            return u'"' + name + u'"';
    }
    return name;
}

QString sqlNamen(const QStringList& namen) {
    QStringList quoted;
    for (const QString& n : namen)
        quoted.append(sqlName(n));
    return quoted.join(QStringLiteral(", "));
}

// ---- layouts of earlier file generations ----

// The master and recording tables as the first generation made them: no tenant column,
// a key on the id alone, a row version, and none of the columns that later steps add.
TabellenForm ersteGeneration(const QString& name, const QStringList& schluessel, const QStringList& spaeter = {},
                             bool mitSyncVersion = true) {
    TabellenForm form = aktuelleTabelle(name).ohne(QStringList{MandantSpalte, FlagSpalte} + spaeter);
    if (mitSyncVersion && !form.spaltenNamen().contains(QStringLiteral("SyncVersion")))
        form = form.mitSpalte(SyncVersionSpalte);
    return form.mitSchluessel(schluessel);
}

const QString AltesKuerzel = QStringLiteral("LPE_Kürzel");

TabellenForm personalMitAltemKuerzel(const TabellenForm& form) {
    return form.ersetzt(QStringLiteral("LPE_Kuerzel"),
                        sqlName(AltesKuerzel) + QStringLiteral(" varchar(50) NOT NULL DEFAULT ''"));
}

const QStringList ErfassungSpaeter = {
    QStringLiteral("ObjektAdresse"), QStringLiteral("ObjektAuftrag"), QStringLiteral("ObjektWerkAuftrag"),
    QStringLiteral("ObjektProjekt"), QStringLiteral("CloudStatus"),   QStringLiteral("geloescht"),
    QStringLiteral("VonIstNULL"),    QStringLiteral("BisIstNULL"),    QStringLiteral("StdIstNULL")};
const QStringList GruppenAbStufe3 = {QStringLiteral("BER_ZPZ_startstop"),
                                     QStringLiteral("BER_ZER_startstop"),
                                     QStringLiteral("BER_DatumMutieren"),
                                     QStringLiteral("BER_Status4Mutieren"),
                                     QStringLiteral("BER_TageVeraenderbar"),
                                     QStringLiteral("BER_Buchungssperre"),
                                     QStringLiteral("BER_InZukunftErlauben"),
                                     QStringLiteral("BER_ZPZ_automatik"),
                                     QStringLiteral("BER_Runden"),
                                     QStringLiteral("BER_Planung"),
                                     QStringLiteral("BER_LoescheWieTage")};
const QStringList GruppenAbStufe44 = {QStringLiteral("BER_Teamerfassung"),    QStringLiteral("BER_ZERnurAnsicht"),
                                      QStringLiteral("BER_IstTerminal"),      QStringLiteral("BER_Mitternacht"),
                                      QStringLiteral("BER_TeamPraesenzzeit"), QStringLiteral("BER_MitternachtStunden"),
                                      QStringLiteral("BER_TeamLight")};
const QStringList ProjektAdressen = {QStringLiteral("PRO_ADR1"), QStringLiteral("PRO_ADR2"),
                                     QStringLiteral("PRO_ADRRechnung")};

TabellenForm auftragErsteGeneration(const QString& name) {
    return ersteGeneration(name, {QStringLiteral("RKA_ID")})
        .ersetzt(QStringLiteral("RKA_ExtAufNr"), QStringLiteral("RKA_ExtAufNr nvarchar(50) NOT NULL DEFAULT ''"))
        .ersetzt(QStringLiteral("RKA_Bezeichnung"), QStringLiteral("RKA_Bezeichnung nvarchar(90) NOT NULL DEFAULT ''"));
}

TabellenForm auftragVerbreitert(const QString& name) {
    return ersteGeneration(name, {QStringLiteral("RKA_ID")});
}

// P_PROJEKT after step 14: widened texts, the billing code default of that generation.
TabellenForm projektVerbreitert() {
    return ersteGeneration(QStringLiteral("P_PROJEKT"), {QStringLiteral("PRO_ID")}, {QStringLiteral("FilterZahl1")})
        .ersetzt(QStringLiteral("FakturaCode"), QStringLiteral("FakturaCode nvarchar NOT NULL DEFAULT ' X '"));
}

TabellenForm projektErsteGeneration() {
    return projektVerbreitert()
        .ohne(ProjektAdressen)
        .ersetzt(QStringLiteral("PRO_Nr"), QStringLiteral("PRO_Nr varchar(20) NOT NULL DEFAULT ''"))
        .ersetzt(QStringLiteral("PRO_Bezeichnung"), QStringLiteral("PRO_Bezeichnung varchar(100) NOT NULL DEFAULT ''"));
}

TabellenForm erfassungZweiteGeneration() {
    return aktuelleTabelle(QStringLiteral("Z_ERFASSUNG"))
        .ohne({MandantSpalte, FlagSpalte})
        .mitSpalte(SyncVersionSpalte)
        .mitSchluessel({});
}

// ---- the ladder ----

class Ladder {
public:
    Ladder(Tdm& dm, TSqlQuery& q) : m_dm(dm), m_q(q) {}

    bool exec(const QString& sql) {
        m_q.setSQL(sql);
        m_q.clearParams();
        return m_q.ExecSQL();
    }
    void create(const TabellenForm& form) { exec(form.createSql()); }
    void createAktuell(const QString& name) { create(aktuelleTabelle(name)); }
    void addColumn(const QString& tabelle, const QString& definition) {
        exec(QStringLiteral("ALTER TABLE ") + tabelle + QStringLiteral(" ADD COLUMN ") + definition);
    }
    void dropTable(const QString& tabelle, bool wennVorhanden = false) {
        exec((wennVorhanden ? QStringLiteral("DROP TABLE IF EXISTS ") : QStringLiteral("DROP TABLE ")) + tabelle);
    }
    void resetCounter(const QString& key) { m_dm.InternalSchreibeINT(key, 0); }

    QStringList spaltenVon(const QString& tabelle) {
        QStringList namen;
        m_q.setSQL(QStringLiteral("PRAGMA table_info(") + tabelle + u')');
        m_q.clearParams();
        if (m_q.Open()) {
            for (; !m_q.Eof(); m_q.Next())
                namen.append(m_q.FieldByName(u"name").AsString());
        }
        m_q.Close();
        return namen;
    }

    // Rebuilds a table through a holding copy with bare column names. The original goes
    // only once its rows are in the copy, and the copy stays when they cannot be brought
    // back, so no row is lost on the way.
    void umbauUeberKopie(const QString& tabelle, const QStringList& alteSpalten, const TabellenForm& neu,
                         const QStringList& zielSpalten) {
        // A quoted name that matches no column reads as a text in SQLite, so a copy from a
        // table without the old columns would overwrite every row with the column's name.
        const QStringList vorhanden = spaltenVon(tabelle);
        for (const QString& spalte : alteSpalten) {
            if (!vorhanden.contains(spalte, Qt::CaseInsensitive))
                return;
        }
        const QString kopie = tabelle + QStringLiteral("01");
        if (!exec(QStringLiteral("CREATE TABLE ") + kopie + QStringLiteral(" (") + sqlNamen(alteSpalten) + u')'))
            return;
        if (!exec(QStringLiteral("INSERT INTO ") + kopie + QStringLiteral(" SELECT ") + sqlNamen(alteSpalten) +
                  QStringLiteral(" FROM ") + tabelle) ||
            !exec(QStringLiteral("DROP TABLE ") + tabelle)) {
            dropTable(kopie);
            return;
        }
        create(neu);
        if (exec(QStringLiteral("INSERT INTO ") + tabelle + QStringLiteral(" (") + sqlNamen(zielSpalten) +
                 QStringLiteral(") SELECT ") + sqlNamen(alteSpalten) + QStringLiteral(" FROM ") + kopie))
            dropTable(kopie);
    }

    // Replaces a table of recorded data by a new layout and carries its rows over wherever
    // a column of the same name exists. Rows of a layout without tenant column belong to
    // the tenant of the stored login. The old table stays aside when the rows cannot move.
    void ersetzeMitDaten(const TabellenForm& neu) {
        const QString beiseite = neu.name + QStringLiteral("_ALT");
        const bool vorhanden =
            exec(QStringLiteral("ALTER TABLE ") + neu.name + QStringLiteral(" RENAME TO ") + beiseite);
        create(neu);
        if (!vorhanden)
            return;
        const QStringList alt = spaltenVon(beiseite);
        QStringList ziel, quelle;
        for (const QString& spalte : neu.spaltenNamen()) {
            if (alt.contains(spalte, Qt::CaseInsensitive)) {
                ziel.append(sqlName(spalte));
                quelle.append(sqlName(spalte));
            } else if (spalte == MandantSpalte) {
                ziel.append(spalte);
                quelle.append(QString::number(m_dm.InternalLeseINT(SettingKey::Mandant_ID, 0)));
            }
        }
        // OR REPLACE also gives a NULL in a column that is now NOT NULL its default.
        if (exec(QStringLiteral("INSERT OR REPLACE INTO ") + neu.name + QStringLiteral(" (") +
                 ziel.join(QStringLiteral(", ")) + QStringLiteral(") SELECT ") + quelle.join(QStringLiteral(", ")) +
                 QStringLiteral(" FROM ") + beiseite))
            dropTable(beiseite);
    }

    void clampSyncStamps(TDateTime grenze) {
        struct Login {
            QString stempel;
            int mandantId;
        };
        QList<Login> logins;
        m_q.setSQL(u" select * from MandantenLogin ");
        m_q.clearParams();
        if (m_q.Open()) {
            for (; !m_q.Eof(); m_q.Next())
                logins.append(
                    {m_q.FieldByName(u"SyncTimeStamp").AsString(), m_q.FieldByName(u"MandantID").AsInteger()});
        }
        m_q.Close();
        for (const Login& login : logins) {
            if (DTstringToDatetime(login.stempel, grenze) > grenze)
                m_dm.LastSyncTimeStampSET(grenze, login.mandantId);
        }
        exec(QStringLiteral(" update SyncFortschritt  set Zeitstempel = '") + DTDatetimeToString(grenze) + u'\'');
    }

    Tdm& m_dm;
    TSqlQuery& m_q;
};

// ---- the steps ----

void step1(Ladder& l) {
    l.exec(ersteGeneration(QStringLiteral("A_ADRESSEN"), {QStringLiteral("ADR_ID")}).createSql(true));
    l.create(personalMitAltemKuerzel(ersteGeneration(QStringLiteral("A_PERSONAL"), {QStringLiteral("LPE_ID")})));
    l.create(
        ersteGeneration(QStringLiteral("M_MATERIALPREISE"), {QStringLiteral("MAT_ID"), QStringLiteral("MAT_MAF_NR")}));
    l.create(
        ersteGeneration(QStringLiteral("M_Material"), {QStringLiteral("MAT_ID")}, {QStringLiteral("MTE_ZusatzText")}));
    l.create(projektErsteGeneration());
    l.create(auftragErsteGeneration(QStringLiteral("R_KAUFTRAG")));
    l.create(auftragErsteGeneration(QStringLiteral("R_KWERKAUFTRAG")));
    l.create(ersteGeneration(QStringLiteral("Z_ERFASSUNG"), {}, ErfassungSpaeter)
                 .ersetzt(QStringLiteral("ZER_Text"), QStringLiteral("ZER_Text varchar(1000) NOT NULL DEFAULT ''")));
    l.create(ersteGeneration(QStringLiteral("Z_KOSTENART"), {QStringLiteral("ZKA_Nr")}));
    l.create(ersteGeneration(QStringLiteral("Z_KOSTENSTELLE"), {QStringLiteral("ZKS_Nr")}));
    l.create(ersteGeneration(QStringLiteral("Z_PRAESENZZEIT"), {},
                             {QStringLiteral("CloudStatus"), QStringLiteral("geloescht"), QStringLiteral("VonIstNULL"),
                              QStringLiteral("BisIstNULL"), QStringLiteral("StdIstNULL")})
                 .ersetzt(QStringLiteral("ZPZ_ID"), QStringLiteral("ZPZ_ID int NOT NULL UNIQUE")));
    l.create(ersteGeneration(QStringLiteral("Lumora_Gruppen"), {QStringLiteral("BER_ID")},
                             GruppenAbStufe3 + GruppenAbStufe44, false));
    l.create(ersteGeneration(QStringLiteral("Lumora_User"), {QStringLiteral("USR_UserID")}, {}, false));
    l.exec(QStringLiteral("CREATE INDEX Z_ERFASSUNG_Index01 ON Z_ERFASSUNG (ZER_ID)"));
    l.exec(QStringLiteral("CREATE INDEX Z_ERFASSUNG_Index02 ON Z_ERFASSUNG (MobileID)"));
    l.exec(QStringLiteral("CREATE INDEX Z_PRAESENZZEIT_Index01 ON Z_PRAESENZZEIT (ZPZ_ID)"));
    l.exec(QStringLiteral("CREATE INDEX Z_PRAESENZZEIT_Index02 ON Z_PRAESENZZEIT (MobileID)"));
}

void step2(Ladder& l) {
    l.create(aktuelleTabelle(QStringLiteral("Lumora_Fotos"))
                 .ohne({MandantSpalte, QStringLiteral("PIC_ZER_ID"), FlagSpalte})
                 .ersetzt(QStringLiteral("PIC_ID"), QStringLiteral("PIC_ID bigint PRIMARY KEY NOT NULL DEFAULT 0"))
                 .mitSchluessel({}));
}

void step3(Ladder& l) {
    const QString t = QStringLiteral("Lumora_Gruppen");
    l.addColumn(t, QStringLiteral("BER_ZPZ_startstop integer NOT NULL DEFAULT 0"));
    l.addColumn(t, QStringLiteral("BER_ZER_startstop integer NOT NULL DEFAULT 0"));
    l.addColumn(t, QStringLiteral("BER_DatumMutieren integer NOT NULL DEFAULT 0"));
    l.addColumn(t, QStringLiteral("BER_Status4Mutieren integer NOT NULL DEFAULT 0"));
    l.addColumn(t, QStringLiteral("BER_TageVeraenderbar integer NOT NULL DEFAULT 14"));
    l.addColumn(t, QStringLiteral("BER_Buchungssperre datetime DEFAULT '1.1.2000'"));
    l.m_q.setSQL(u"Update Lumora_Gruppen  set BER_Buchungssperre = :datum; ");
    l.m_q.clearParams();
    l.m_q.ParamByName(u"datum").setAsDateTime(TDateTime::encodeDate(2000, 1, 1));
    l.m_q.ExecSQL();
}

void step4(Ladder& l) {
    l.addColumn(QStringLiteral("Lumora_Gruppen"), QStringLiteral("BER_InZukunftErlauben integer NOT NULL DEFAULT 0"));
    l.resetCounter(SettingKey::SYNCVERSION);
}

void step5(Ladder& l) {
    for (const char* spalte : {"ObjektAdresse", "ObjektAuftrag", "ObjektWerkAuftrag", "ObjektProjekt"})
        l.addColumn(QStringLiteral("Z_ERFASSUNG"),
                    QString::fromLatin1(spalte) + QStringLiteral(" nvarchar(250) NOT NULL DEFAULT ''"));
    l.resetCounter(SettingKey::SYNCVERSION);
}

void step8(Ladder& l) {
    for (const QString& spalte : ProjektAdressen)
        l.addColumn(QStringLiteral("P_PROJEKT"), spalte + QStringLiteral(" integer NOT NULL DEFAULT 0"));
}

void step9(Ladder& l) {
    l.exec(QStringLiteral("drop table MON_Plan"));
    l.exec(QStringLiteral("drop table MON_Team"));
    l.exec(QStringLiteral("drop table MON_TeamPersonal"));
}

void step10(Ladder& l) {
    l.create(aktuelleTabelle(QStringLiteral("Planung"))
                 .ohne({QStringLiteral("MPL_von"), QStringLiteral("MPL_bis"), QStringLiteral("MPL_TER_Backcolor"),
                        FlagSpalte})
                 .ersetzt(QStringLiteral("MPL_Text"), QStringLiteral("MPL_Text nvarchar(2000) NOT NULL DEFAULT ''")));
    l.create(aktuelleTabelle(QStringLiteral("Planung_Team")).ohne({FlagSpalte}));
    l.create(aktuelleTabelle(QStringLiteral("Planung_TeamPersonal")).ohne({FlagSpalte}));
    l.resetCounter(SettingKey::SyncVersionPlanung);
}

void step11(Ladder& l) {
    l.addColumn(QStringLiteral("Lumora_Gruppen"), QStringLiteral("BER_ZPZ_automatik integer NOT NULL DEFAULT 0"));
}

void step12(Ladder& l) {
    l.addColumn(QStringLiteral("Lumora_Gruppen"), QStringLiteral("BER_Runden integer NOT NULL DEFAULT 1"));
    l.exec(QStringLiteral("Update Lumora_Gruppen  SET BER_Runden = 1"));
}

void step13(Ladder& l) {
    for (const QString& t : {QStringLiteral("R_KAUFTRAG"), QStringLiteral("R_KWERKAUFTRAG")}) {
        const QStringList spalten = auftragErsteGeneration(t).spaltenNamen();
        l.umbauUeberKopie(t, spalten, auftragVerbreitert(t), spalten);
    }
}

void step14(Ladder& l) {
    const TabellenForm neu = projektVerbreitert();
    l.umbauUeberKopie(neu.name, neu.spaltenNamen(), neu, neu.spaltenNamen());
}

void step15(Ladder& l) {
    l.m_dm.InternalSchreibeTXT(SettingKey::DeviceGUID, QUuid::createUuid().toString(QUuid::WithBraces).toUpper());
}

void step16(Ladder& l) {
    l.addColumn(QStringLiteral("Z_ERFASSUNG"), QStringLiteral("CloudStatus integer NOT NULL DEFAULT 0"));
    l.addColumn(QStringLiteral("Z_PRAESENZZEIT"), QStringLiteral("CloudStatus integer NOT NULL DEFAULT 0"));
    l.exec(QStringLiteral("update Z_ERFASSUNG  set CloudStatus = 2"));
    l.exec(QStringLiteral("update Z_PRAESENZZEIT  set CloudStatus = 2"));
}

void step17(Ladder& l) {
    l.addColumn(QStringLiteral("Z_PRAESENZZEIT"), QStringLiteral("geloescht integer NOT NULL DEFAULT 0"));
    l.addColumn(QStringLiteral("Z_ERFASSUNG"), QStringLiteral("geloescht integer NOT NULL DEFAULT 0"));
}

// Plans of the hour-slot layout get a time span: the slot number is the hour, kept within 6 to 20.
void step18(Ladder& l) {
    l.addColumn(QStringLiteral("Planung"), QStringLiteral("MPL_von datetime"));
    l.addColumn(QStringLiteral("Planung"), QStringLiteral("MPL_bis datetime"));
    struct Plan {
        QVariant mandant, guid;
        TDateTime datum;
        int stunde;
    };
    QList<Plan> plaene;
    l.m_q.setSQL(u"select Mandant_ID, MPL_GUID, MPL_Datum, MPL_OrderNr from Planung");
    l.m_q.clearParams();
    if (l.m_q.Open()) {
        for (; !l.m_q.Eof(); l.m_q.Next())
            plaene.append({l.m_q.Fields(0).AsVariant(), l.m_q.Fields(1).AsVariant(), l.m_q.Fields(2).AsDateTime(),
                           l.m_q.Fields(3).AsInteger()});
    }
    l.m_q.Close();
    for (const Plan& plan : plaene) {
        const TDateTime von =
            plan.datum.datePart() + TDateTime::encodeTime(std::clamp(plan.stunde, 6, 20), 0, 0).value();
        l.m_q.setSQL(u"update planung  set MPL_von = :von, MPL_bis = :bis  where Mandant_ID=:mid and MPL_GUID = :guid");
        l.m_q.clearParams();
        l.m_q.ParamByName(u"von").setAsDateTime(von);
        l.m_q.ParamByName(u"bis").setAsDateTime(von.addMinutes(60));
        l.m_q.ParamByName(u"mid").setValue(plan.mandant);
        l.m_q.ParamByName(u"guid").setValue(plan.guid);
        l.m_q.ExecSQL();
    }
}

void step19(Ladder& l) {
    l.addColumn(QStringLiteral("M_Material"), QStringLiteral("MTE_ZusatzText nvarchar(1000) NOT NULL DEFAULT ''"));
}

void step20(Ladder& l) {
    l.addColumn(QStringLiteral("Lumora_Gruppen"), QStringLiteral("BER_Planung integer NOT NULL DEFAULT 0"));
}

void step21(Ladder& l) {
    l.addColumn(QStringLiteral("Lumora_Gruppen"), QStringLiteral("BER_LoescheWieTage integer NOT NULL DEFAULT 0"));
}

void step22(Ladder& l) {
    l.createAktuell(QStringLiteral("Planung_AktiveTeams"));
}

void step23(Ladder& l) {
    for (const QString& t : {QStringLiteral("P_PROJEKTPHASEN"), QStringLiteral("P_PROJEKTPHASEN_DETAIL"),
                             QStringLiteral("Lumora_GruppenKA")})
        l.create(aktuelleTabelle(t).ohne({FlagSpalte}));
}

void step24(Ladder& l) {
    l.resetCounter(SettingKey::SYNCVERSION);
}

void step25(Ladder& l) {
    TabellenForm form = aktuelleTabelle(QStringLiteral("MandantenLogIn"));
    form.spalten = form.spalten.mid(0, 6);
    l.create(form);
}

// Records whose stored 00:00 stood for "no time" get their empty-time flags; those after
// the booking lock go up again so that the server learns the flags too.
void nullFlagsNachtragen(Ladder& l, const QString& tabelle, const QString& updateName, const QString& prefix,
                         int lpeId) {
    for (const char* teil : {"Von", "Bis", "Std"})
        l.addColumn(tabelle, QString::fromLatin1(teil) + QStringLiteral("IstNULL integer NOT NULL DEFAULT 0"));
    for (const char* teil : {"Bis", "Von", "Std"}) {
        const QString t = QString::fromLatin1(teil);
        l.exec(QStringLiteral("update ") + updateName + QStringLiteral("  SET ") + t +
               QStringLiteral("IstNULL = 1  WHERE MobileID in (SELECT MobileID  FROM ") + tabelle +
               QStringLiteral(" where time(") + prefix + t + QStringLiteral(") = time('00:00:00'))"));
    }
    if (lpeId <= 0)
        return;
    const QString datumParam = prefix.toLower() + QStringLiteral("datum");
    l.m_q.setSQL(QStringLiteral("update ") + updateName + QStringLiteral("  SET Owner = 1  WHERE  ") + prefix +
                 QStringLiteral("Datum > :") + datumParam +
                 QStringLiteral(" and (BisIstNULL + VonIstNULL + StdIstNULL > 0 )"));
    l.m_q.clearParams();
    l.m_q.ParamByName(datumParam).setAsDateTime(l.m_dm.GibDatumBuchungssperre(lpeId).datePart());
    l.m_q.ExecSQL();
}

void step26(Ladder& l) {
    const int lpeId = l.m_dm.InternalLeseINT(SettingKey::User_LPE_ID, 0);
    nullFlagsNachtragen(l, QStringLiteral("Z_ERFASSUNG"), QStringLiteral("Z_Erfassung"), QStringLiteral("ZER_"), lpeId);
    nullFlagsNachtragen(l, QStringLiteral("Z_PRAESENZZEIT"), QStringLiteral("Z_Praesenzzeit"), QStringLiteral("ZPZ_"),
                        lpeId);
}

void step27(Ladder& l) {
    l.addColumn(QStringLiteral("Lumora_Fotos"), QStringLiteral("PIC_ZER_ID integer NOT NULL DEFAULT 0"));
}

void step30(Ladder& l) {
    l.ersetzeMitDaten(
        aktuelleTabelle(QStringLiteral("Planung")).ohne({QStringLiteral("MPL_TER_Backcolor"), FlagSpalte}));
    l.dropTable(QStringLiteral("M_Material"));
    l.create(aktuelleTabelle(QStringLiteral("M_Material")).ohne({FlagSpalte}));
    l.dropTable(QStringLiteral("M_MATERIALPREISE"), true);
    l.create(aktuelleTabelle(QStringLiteral("M_MATERIALPREISE")).ohne({FlagSpalte}));
    l.ersetzeMitDaten(erfassungZweiteGeneration());
    l.exec(QStringLiteral("CREATE INDEX Z_ERFASSUNG_Index01 ON Z_ERFASSUNG (ZER_ID)"));
    l.exec(QStringLiteral("CREATE INDEX Z_ERFASSUNG_Index02 ON Z_ERFASSUNG (MobileID)"));
    l.resetCounter(SettingKey::SYNCVERSION);
    l.resetCounter(SettingKey::SyncVersionPlanung);
}

void step31(Ladder& l) {
    l.addColumn(QStringLiteral("Planung"), QStringLiteral("MPL_TER_Backcolor varchar(20) DEFAULT ''"));
    l.resetCounter(SettingKey::SyncVersionPlanung);
}

void step32(Ladder& l) {
    l.addColumn(QStringLiteral("INTERNAL"), QStringLiteral("DTVALUE datetime"));
}

void step33(Ladder& l) {
    const TabellenForm form = aktuelleTabelle(QStringLiteral("MandantenLogIn"));
    for (const QString& definition : form.spalten.mid(6))
        l.addColumn(form.name, definition);
}

// The tenant ids of remembered logins come from the server by company PIN; without a
// connection they stay 0 and the next login fills them.
void tenantIdsOfRememberedLogins(Ladder& l) {
    QList<int> pins;
    l.m_q.setSQL(u"select * from MandantenLogin");
    l.m_q.clearParams();
    if (l.m_q.Open()) {
        for (; !l.m_q.Eof(); l.m_q.Next())
            pins.append(l.m_q.FieldByName(u"FirmaPin").AsInteger());
    }
    l.m_q.Close();
    if (!pins.isEmpty() && l.m_dm.ConnectRemoteDB()) {
        for (int pin : pins) {
            auto server = l.m_dm.GetXDatasetInstance();
            server->setSQL(u" select  Mandant_ID from Mandant  where Mandant_PIN = :Mandant_PIN ");
            server->ParamByName(u"Mandant_PIN").setAsInteger(pin);
            if (!server->Open() || server->Eof())
                continue;
            const int mandantId = server->FieldByName(u"Mandant_ID").AsInteger();
            if (mandantId <= 0)
                continue;
            l.m_q.setSQL(u" update MandantenLogin  set MandantID = :MandantID  where FirmaPin = :FirmaPin ");
            l.m_q.clearParams();
            l.m_q.ParamByName(u"MandantID").setAsInteger(mandantId);
            l.m_q.ParamByName(u"FirmaPin").setAsInteger(pin);
            l.m_q.ExecSQL();
        }
    }
    l.m_dm.DisconnectRemoteDB();
}

void step34(Ladder& l) {
    const TDateTime vorDreiMonaten = TDateTime::fromQDateTime(Clock::now().toQDateTime().addMonths(-3));
    l.m_q.setSQL(u"update MandantenLogIn  set SyncTimeStamp = :sts ,LastSyncDate = :std");
    l.m_q.clearParams();
    l.m_q.ParamByName(u"sts").setAsString(DTDatetimeToString(vorDreiMonaten));
    l.m_q.ParamByName(u"std").setAsString(DTDatetimeToString(vorDreiMonaten));
    l.m_q.ExecSQL();
    tenantIdsOfRememberedLogins(l);
}

// The tenant-aware layout: master data is dropped and fetched again; recorded data moves over.
void step35(Ladder& l) {
    const auto neu = [&l](const TabellenForm& form) {
        l.dropTable(form.name, true);
        l.create(form);
    };
    neu(aktuelleTabelle(QStringLiteral("A_ADRESSEN")));
    neu(personalMitAltemKuerzel(aktuelleTabelle(QStringLiteral("A_PERSONAL"))));
    neu(aktuelleTabelle(QStringLiteral("Lumora_User")));
    neu(aktuelleTabelle(QStringLiteral("Lumora_Gruppen")).ohne(GruppenAbStufe44));
    neu(aktuelleTabelle(QStringLiteral("P_PROJEKT")).ohne({QStringLiteral("FilterZahl1")}));
    l.ersetzeMitDaten(aktuelleTabelle(QStringLiteral("Lumora_Fotos")));
    for (const char* t : {"R_KAUFTRAG", "R_KWERKAUFTRAG", "Z_KOSTENART", "Z_KOSTENSTELLE"})
        neu(aktuelleTabelle(QString::fromLatin1(t)));
    l.ersetzeMitDaten(aktuelleTabelle(QStringLiteral("Z_PRAESENZZEIT")));
    l.ersetzeMitDaten(aktuelleTabelle(QStringLiteral("Z_ERFASSUNG")));
    neu(aktuelleTabelle(QStringLiteral("M_Material")));
    neu(aktuelleTabelle(QStringLiteral("M_MATERIALPREISE")));
    for (const char* t : {"P_PROJEKTPHASEN", "P_PROJEKTPHASEN_DETAIL", "Lumora_GruppenKA", "Planung", "Planung_Team",
                          "Planung_TeamPersonal"})
        l.addColumn(QString::fromLatin1(t), QStringLiteral("FlagGeloescht bit DEFAULT 0"));
}

void step36(Ladder& l) {
    l.create(aktuelleTabelle(QStringLiteral("SyncFortschritt")).ohne({QStringLiteral("IstNeustart")}));
}

void step37(Ladder& l) {
    if (l.m_dm.InternalLeseINT(SettingKey::SyncVersionPlanung, 0) > 0)
        l.resetCounter(SettingKey::SyncVersionPlanung);
}

void step38(Ladder& l) {
    l.addColumn(QStringLiteral("P_PROJEKT"), QStringLiteral("FilterZahl1 int DEFAULT 0"));
}
void step39(Ladder& l) {
    l.createAktuell(QStringLiteral("Lumora_Filter"));
}
void step40(Ladder& l) {
    l.createAktuell(QStringLiteral("Lumora_Team"));
}
void step41(Ladder& l) {
    l.createAktuell(QStringLiteral("Lumora_TeamAktiveLPE"));
}

void step42(Ladder& l) {
    l.createAktuell(QStringLiteral("Z_ERFASSUNG_TEMP"));
    l.createAktuell(QStringLiteral("Z_PRAESENZZEIT_TEMP"));
}

void step43(Ladder& l) {
    l.createAktuell(QStringLiteral("Lumora_TeamZPZ"));
}

void addGroupColumn(Ladder& l, const char* spalte) {
    l.addColumn(QStringLiteral("Lumora_Gruppen"), QString::fromLatin1(spalte) + QStringLiteral(" int DEFAULT 0"));
}

void step44(Ladder& l) {
    addGroupColumn(l, "BER_Teamerfassung");
}

void step45(Ladder& l) {
    QList<int> mandanten;
    l.m_q.setSQL(u"select mandantid from Mandantenlogin");
    l.m_q.clearParams();
    if (l.m_q.Open()) {
        for (; !l.m_q.Eof(); l.m_q.Next())
            mandanten.append(l.m_q.Fields(0).AsInteger());
    }
    l.m_q.Close();
    for (int mandantId : mandanten)
        l.m_dm.LastSyncDateSET(TDateTime::encodeDate(2000, 1, 1), mandantId);
}

void step46(Ladder& l) {
    addGroupColumn(l, "BER_ZERnurAnsicht");
}

void step47(Ladder& l) {
    l.createAktuell(QStringLiteral("Lumora_Rapport_ZER"));
    l.createAktuell(QStringLiteral("Lumora_Rapport"));
}

void step48(Ladder& l) {
    l.createAktuell(QStringLiteral("Lumora_GruppenKS"));
    l.createAktuell(QStringLiteral("Lumora_GruppenTeam"));
}

void step49(Ladder& l) {
    l.clampSyncStamps(TDateTime::encodeDateTime(2017, 5, 1, 0, 0, 0, 1));
}
void step50(Ladder& l) {
    addGroupColumn(l, "BER_IstTerminal");
}
void step51(Ladder& l) {
    addGroupColumn(l, "BER_Mitternacht");
}

void step52(Ladder& l) {
    addGroupColumn(l, "BER_TeamPraesenzzeit");
    addGroupColumn(l, "BER_MitternachtStunden");
}

void step53(Ladder& l) {
    addGroupColumn(l, "BER_TeamLight");
}

void step54(Ladder& l) {
    l.create(aktuelleTabelle(QStringLiteral("Lumora_PauseZER")).ohne({QStringLiteral("Zeitstempel")}));
    l.create(aktuelleTabelle(QStringLiteral("Lumora_PauseZPZ")).ohne({QStringLiteral("Zeitstempel")}));
}

void step55(Ladder& l) {
    l.addColumn(QStringLiteral("Lumora_PauseZER"), QStringLiteral("Zeitstempel datetime"));
    l.addColumn(QStringLiteral("Lumora_PauseZPZ"), QStringLiteral("Zeitstempel datetime"));
}

void step56(Ladder& l) {
    l.addColumn(QStringLiteral("SyncFortschritt"), QStringLiteral("IstNeustart int DEFAULT 0"));
}
void step57(Ladder& l) {
    l.createAktuell(QStringLiteral("Planung_TeamErlaubnis"));
}
void step57a(Ladder& l) {
    l.clampSyncStamps(TDateTime::encodeDate(2000, 1, 1));
}

void step60(Ladder& l) {
    const TabellenForm neu = aktuelleTabelle(QStringLiteral("A_PERSONAL"));
    QStringList alt = neu.spaltenNamen();
    alt.replace(alt.indexOf(QStringLiteral("LPE_Kuerzel")), AltesKuerzel);
    l.umbauUeberKopie(neu.name, alt, neu, neu.spaltenNamen());
}

struct Step {
    const char* name;
    int version; // the step runs when the file's version is below this one
    bool genau;  // or only at exactly this version
    void (*aktion)(Ladder&);
};

const Step steps[] = {
    {"1", 1, false, step1},    {"2", 2, false, step2},     {"3", 3, false, step3},    {"4", 4, false, step4},
    {"5", 5, false, step5},    {"8", 8, false, step8},     {"9", 9, true, step9},     {"10", 10, false, step10},
    {"11", 11, false, step11}, {"12", 12, false, step12},  {"13", 13, false, step13}, {"14", 14, false, step14},
    {"15", 15, false, step15}, {"16", 16, false, step16},  {"17", 17, false, step17}, {"18", 18, false, step18},
    {"19", 19, false, step19}, {"20", 20, false, step20},  {"21", 21, false, step21}, {"22", 22, false, step22},
    {"23", 23, false, step23}, {"24", 24, false, step24},  {"25", 25, false, step25}, {"26", 26, false, step26},
    {"27", 27, false, step27}, {"30", 30, false, step30},  {"31", 31, false, step31}, {"32", 32, false, step32},
    {"33", 33, false, step33}, {"34", 34, false, step34},  {"35", 35, false, step35}, {"36", 36, false, step36},
    {"37", 37, false, step37}, {"38", 38, false, step38},  {"39", 39, false, step39}, {"40", 40, false, step40},
    {"41", 41, false, step41}, {"42", 42, false, step42},  {"43", 43, false, step43}, {"44", 44, false, step44},
    {"45", 45, false, step45}, {"46", 46, false, step46},  {"47", 47, false, step47}, {"48", 48, false, step48},
    {"49", 49, false, step49}, {"50", 50, false, step50},  {"51", 51, false, step51}, {"52", 52, false, step52},
    {"53", 53, false, step53}, {"54", 54, false, step54},  {"55", 55, false, step55}, {"56", 56, false, step56},
    {"57", 57, false, step57}, {"57a", 57, true, step57a}, {"60", 60, false, step60},
};

} // namespace

QStringList runSchemaLadder(Tdm& dm, TSqlQuery& query, int version, int bisVersion) {
    Ladder ladder(dm, query);
    QStringList gelaufen;
    for (const Step& step : steps) {
        if (step.version > bisVersion)
            break;
        if (step.genau ? version == step.version : version < step.version) {
            step.aktion(ladder);
            gelaufen.append(QString::fromLatin1(step.name));
        }
    }
    query.Close();
    return gelaufen;
}
