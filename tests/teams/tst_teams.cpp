#include "recording/recording_fixture.h"

#include "core/clock.h"
#include "core/globals.h"

#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using F = RecordingFixture;

const TDateTime kHeute = TDateTime::encodeDate(2024, 4, 10);
constexpr int kQuelle = -5000;
constexpr int kDora = 20; // a user of the tenant that the chief's group may not take

TDateTime um(int h, int m) {
    return TDateTime::encodeTime(h, m);
}

QList<int> personen(const QList<TTeamListenEintrag>& liste) {
    QList<int> ids;
    for (const auto& e : liste)
        ids.append(e.TeamLPEID);
    return ids;
}

} // namespace

class TestTeams : public QObject {
    Q_OBJECT

private slots:
    void init() { Clock::setFixed(kHeute + um(12, 0).value()); }
    void cleanup() { Clock::reset(); }

    void mitgliederlisteMitTeamliste();
    void mitgliederlisteOhneTeamliste();
    void ungueltigeMitgliederEntfernen_data();
    void ungueltigeMitgliederEntfernen();
    void mitgliedOderSelbst();
    void namenDerMitglieder();
    void teamEinesEintragsAktivieren();
    void teamEinerPraesenzzeitAktivieren();
    void abweichendesTeam();

    void teamerfassungFuerDrei();
    void teamerfassungOhneEigenenMitarbeiter();
    void erneutSpeichernNachAenderung();
    void erneutSpeichernOhneTeam();
    void loeschenVonEinemMitglied();
    void offeneZeitenDerMitgliederAbschliessen();
    void praesenzFuerMitglieder();
    void keineDoppelteMobileID();
    void fehlschlagendeKopieEndetUndVerliertNichts();
    void gesperrteDateiVerliertNichts();
    void offeneZeitenDesTeamsAbschliessen();
    void offeneZeitenDerUebrigenAbschliessen();

private:
    // The chief's group may take Bert and Cora into a team; Dora exists as a further user.
    static void mitTeamliste(F& f);
    // A finished working-time entry of the chief, 08:00 to 10:00 today.
    static void quellEintrag(F& f, int typ = 1);
    static void aktiv(F& f, std::initializer_list<int> lpes);
    static QString guid(F& f, int mobileId);
    static QList<int> aktiveMitglieder(F& f);
};

void TestTeams::mitTeamliste(F& f) {
    QVERIFY(f.sql(u"insert into Lumora_User (Mandant_ID, USR_UserID, USR_UserName, USR_Kurz, USR_BER_ID, USR_UserFD)"
                  u" values (7, 103, 'Aaron Dora', 'dora', 2, 20)"_s));
    QVERIFY(f.sql(u"insert into Lumora_GruppenTeam (Mandant_ID, GTE_ID, GTE_BER_ID, GTE_LPE) values (7, 1, 1, 12),"
                  u" (7, 2, 1, 15), (7, 3, 2, 10)"_s));
}

void TestTeams::quellEintrag(F& f, int typ) {
    f.offenerEintrag(kQuelle, F::Chef, kHeute, um(8, 0), typ);
    QVERIFY(f.sql(u"update Z_ERFASSUNG set ZER_Bis = :bis, ZER_Std = :std, ZER_Std100 = 2, BisIstNULL = 0,"
                  u" StdIstNULL = 0, ZER_ZKA = 'ARB', ZER_Text = 'Dach decken', gesperrt = 1 where MobileID = -5000"_s,
                  {{u"bis"_s, F::zeitText(10, 0)}, {u"std"_s, F::zeitText(2, 0)}}));
}

void TestTeams::aktiv(F& f, std::initializer_list<int> lpes) {
    f.dm().TeamLoescheAktiveTeamLPEs();
    for (int lpe : lpes)
        f.dm().TeamToggleTeamInListView(lpe, true);
}

QString TestTeams::guid(F& f, int mobileId) {
    return f
        .wert(u"select PTT_GUID from Lumora_Team where Mandant_ID = 7 and PTT_MobileID = :m"_s, {{u"m"_s, mobileId}})
        .toString();
}

QList<int> TestTeams::aktiveMitglieder(F& f) {
    QList<int> ids;
    auto q = f.dm().GetQueryInstance();
    q->setSQL(u"select PTA_LPE_ID from Lumora_TeamAktiveLPE where Mandant_ID = 7 order by PTA_LPE_ID"_s);
    if (q->Open()) {
        for (; !q->Eof(); q->Next())
            ids.append(q->Fields(0).AsInteger());
    }
    return ids;
}

void TestTeams::mitgliederlisteMitTeamliste() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    mitTeamliste(f);
    aktiv(f, {F::Cora});

    const QList<TTeamListenEintrag> liste = f.dm().TeamFuelleListView();
    QCOMPARE(personen(liste), (QList<int>{F::Chef, F::Bert, F::Cora}));
    QCOMPARE(liste[0].TeamText, u"Anna Chef"_s);
    QCOMPARE(liste[0].Aktiv, false);
    QCOMPARE(liste[2].Aktiv, true);
    QCOMPARE(personen(f.dm().TeamFuelleListViewEinzel()), (QList<int>{F::Chef, F::Bert, F::Cora}));
}

void TestTeams::mitgliederlisteOhneTeamliste() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    mitTeamliste(f);
    QVERIFY(f.sql(u"delete from Lumora_GruppenTeam where GTE_BER_ID = 1"_s));

    // Everyone of the tenant, the logged-in employee first, then by name.
    QCOMPARE(personen(f.dm().TeamFuelleListView()), (QList<int>{F::Chef, kDora, F::Bert, F::Cora}));
    QCOMPARE(personen(f.dm().TeamFuelleListViewEinzel()), (QList<int>{F::Chef, kDora, F::Bert, F::Cora}));
}

void TestTeams::ungueltigeMitgliederEntfernen_data() {
    QTest::addColumn<bool>("teamliste");
    QTest::addColumn<QList<int>>("bleiben");

    QTest::newRow("group with team list") << true << QList<int>{F::Bert};
    QTest::newRow("group without team list") << false << QList<int>{F::Chef, F::Bert, kDora};
}

void TestTeams::ungueltigeMitgliederEntfernen() {
    QFETCH(bool, teamliste);
    QFETCH(QList<int>, bleiben);
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    mitTeamliste(f);
    if (!teamliste)
        QVERIFY(f.sql(u"delete from Lumora_GruppenTeam where GTE_BER_ID = 1"_s));
    aktiv(f, {F::Chef, F::Bert, kDora});

    f.dm().TeamLoescheUngueltigeAktiveTeamLPE();
    QCOMPARE(aktiveMitglieder(f), bleiben);
}

void TestTeams::mitgliedOderSelbst() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    QVERIFY(!f.dm().TeamAktiveTeamMitgliederVorhanden());
    QVERIFY(!f.dm().TeamIstLPEImTeamOrSet(F::Bert));
    QCOMPARE(aktiveMitglieder(f), QList<int>{F::Chef});
    QVERIFY(f.dm().TeamIstLPEImTeamOrSet(F::Chef));
    QVERIFY(f.dm().TeamAktiveTeamMitgliederVorhanden());

    f.dm().TeamToggleTeamInListView(F::Chef, false);
    QVERIFY(f.dm().TeamIstLPEImTeamOrSet(F::Chef));
    QCOMPARE(aktiveMitglieder(f), QList<int>{F::Chef});
}

void TestTeams::namenDerMitglieder() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    QCOMPARE(f.dm().TeamGibTeamMitgliederAlsString(), u"Anna Chef"_s);
    aktiv(f, {F::Bert, F::Cora});
    QStringList namen = f.dm().TeamGibTeamMitgliederAlsString().split(u" | "_s);
    namen.sort();
    QCOMPARE(namen, (QStringList{u"Bert Berg"_s, u"Cora Cramer"_s}));
}

void TestTeams::teamEinesEintragsAktivieren() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    quellEintrag(f);
    aktiv(f, {F::Chef, F::Bert, F::Cora});
    f.dm().TeamZerSpeichernFuerAlle(kQuelle);
    // Cora's link is withdrawn, as when another device took her out of the recording.
    QVERIFY(f.sql(u"update Lumora_Team set PTT_Inaktiv = 1 where PTT_MobileID = -4998"_s));
    f.offenerEintrag(-3000, F::Cora, kHeute, um(13, 0));

    aktiv(f, {kDora});
    QVERIFY(f.dm().TeamSchreibeLumora_TeamInLumora_TeamAktiveLPE(-4998));
    QCOMPARE(aktiveMitglieder(f), (QList<int>{F::Chef, F::Bert}));

    QVERIFY(!f.dm().TeamSchreibeLumora_TeamInLumora_TeamAktiveLPE(-3000));
    QCOMPARE(aktiveMitglieder(f), QList<int>());
    QVERIFY(f.dm().TeamIstBestehenderEintrag(-4998));
    QVERIFY(!f.dm().TeamIstBestehenderEintrag(-3000));
}

void TestTeams::teamEinerPraesenzzeitAktivieren() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    f.praesenz(-100, F::Chef, kHeute, um(7, 0));
    f.praesenz(-101, F::Bert, kHeute, um(7, 0));
    f.praesenz(-102, F::Cora, kHeute, um(7, 0));
    const QString g = u"{0B5E44B4-6C8F-4A52-9C1E-3D2F1E0A9B77}"_s;
    for (int m : {-100, -101, -102})
        QVERIFY(f.sql(u"insert into Lumora_TeamZPZ (Mandant_ID, PTT_ZPZ_ID, PTT_MobileID, PTT_GUID, PTT_Inaktiv)"
                      u" values (7, :m, :m, :g, :inaktiv)"_s,
                      {{u"m"_s, m}, {u"g"_s, g}, {u"inaktiv"_s, m == -102 ? 1 : 0}}));
    QVERIFY(f.dm().TeamIstBestehenderEintragZPZ(-102));
    QString gelesen;
    QVERIFY(f.dm().TeamIstBestehenderEintragGibGUIDZPZ(-101, gelesen));
    QCOMPARE(gelesen, g);

    f.dm().TeamSchreibeLumora_TeamInLumora_TeamAktiveLPEZPZ(-101);
    QCOMPARE(aktiveMitglieder(f), (QList<int>{F::Chef, F::Bert}));

    QString neu;
    QVERIFY(!f.dm().TeamIstBestehenderEintragGibGUIDZPZ(-999, neu));
    QCOMPARE(neu.size(), 38);
    QVERIFY(neu != g);
}

void TestTeams::abweichendesTeam() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    quellEintrag(f);
    aktiv(f, {F::Chef, F::Bert});
    QVERIFY(f.dm().TeamTeamZERistAbweichendAktiveTeamLPEs(kQuelle));
    f.dm().TeamZerSpeichernFuerAlle(kQuelle);
    QVERIFY(!f.dm().TeamTeamZERistAbweichendAktiveTeamLPEs(kQuelle));
    f.dm().TeamToggleTeamInListView(F::Cora, true);
    QVERIFY(f.dm().TeamTeamZERistAbweichendAktiveTeamLPEs(kQuelle));
}

void TestTeams::teamerfassungFuerDrei() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    quellEintrag(f);
    aktiv(f, {F::Chef, F::Bert, F::Cora});

    f.dm().TeamZerSpeichernFuerAlle(kQuelle);

    const QVariantMap bert = f.zeile(u"Z_ERFASSUNG"_s, -4999);
    const QVariantMap cora = f.zeile(u"Z_ERFASSUNG"_s, -4998);
    QCOMPARE(bert.value(u"ZER_LPE"_s).toInt(), F::Bert);
    QCOMPARE(cora.value(u"ZER_LPE"_s).toInt(), F::Cora);
    for (const QVariantMap& kopie : {bert, cora}) {
        QCOMPARE(kopie.value(u"ZER_ID"_s).toInt(), kopie.value(u"MobileID"_s).toInt());
        QCOMPARE(kopie.value(u"ZER_ID_WEB"_s).toInt(), kopie.value(u"MobileID"_s).toInt());
        QCOMPARE(kopie.value(u"ZER_Text"_s).toString(), u"Dach decken"_s);
        QCOMPARE(kopie.value(u"ZER_Std100"_s).toDouble(), 2.0);
        QCOMPARE(kopie.value(u"komplett"_s).toInt(), 0);
        QCOMPARE(kopie.value(u"gesperrt"_s).toInt(), 0);
        QCOMPARE(kopie.value(u"geloescht"_s).toInt(), 0);
    }
    // Each copy is priced with its own employee's rates.
    QCOMPARE(bert.value(u"ZER_Betrag"_s).toDouble(), 60.0);
    QCOMPARE(cora.value(u"ZER_RechnungsBetrag"_s).toDouble(), 110.0);

    const QString g = guid(f, kQuelle);
    QCOMPARE(g.size(), 38);
    QCOMPARE(f.anzahl(u"Lumora_Team where PTT_GUID = '"_s + g + u"' and PTT_Inaktiv = 0 and Owner = 1"_s), 3);
    QCOMPARE(guid(f, -4999), g);
    QCOMPARE(guid(f, -4998), g);
    const QVariantMap quelle = f.zeile(u"Z_ERFASSUNG"_s, kQuelle);
    QCOMPARE(quelle.value(u"geloescht"_s).toInt(), 0);
    QCOMPARE(quelle.value(u"komplett"_s).toInt(), 0);
    QCOMPARE(quelle.value(u"ZER_Betrag"_s).toDouble(), 80.0);
}

void TestTeams::teamerfassungOhneEigenenMitarbeiter() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    quellEintrag(f);
    aktiv(f, {F::Bert, F::Cora});

    f.dm().TeamZerSpeichernFuerAlle(kQuelle);

    QCOMPARE(f.anzahl(u"Z_ERFASSUNG where geloescht = 0 and MobileID in (-4999, -4998)"_s), 2);
    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, kQuelle).value(u"geloescht"_s).toInt(), 1);
    QCOMPARE(f.anzahl(u"Lumora_Team"_s), 2);
    QCOMPARE(f.anzahl(u"Lumora_Team where PTT_MobileID = -5000"_s), 0);
}

void TestTeams::erneutSpeichernNachAenderung() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    quellEintrag(f);
    aktiv(f, {F::Chef, F::Bert, F::Cora});
    f.dm().TeamZerSpeichernFuerAlle(kQuelle);
    const QString g = guid(f, kQuelle);

    QVERIFY(f.sql(u"update Z_ERFASSUNG set ZER_Text = 'Dach und Rinne' where MobileID = -5000"_s));
    f.dm().TeamToggleTeamInListView(F::Cora, false);
    f.dm().TeamZerSpeichernFuerAlle(kQuelle);

    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, -4999).value(u"geloescht"_s).toInt(), 1);
    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, -4998).value(u"geloescht"_s).toInt(), 1);
    const QVariantMap neu = f.zeile(u"Z_ERFASSUNG"_s, -4899);
    QCOMPARE(neu.value(u"ZER_LPE"_s).toInt(), F::Bert);
    QCOMPARE(neu.value(u"ZER_Text"_s).toString(), u"Dach und Rinne"_s);
    QCOMPARE(neu.value(u"geloescht"_s).toInt(), 0);
    QCOMPARE(f.anzahl(u"Lumora_Team where PTT_MobileID in (-4999, -4998) and PTT_Inaktiv = 1"_s), 2);
    QCOMPARE(f.anzahl(u"Lumora_Team where PTT_MobileID = -4899 and PTT_Inaktiv = 0 and PTT_GUID = '"_s + g + u"'"_s),
             1);
    QCOMPARE(f.anzahl(u"Lumora_Team where PTT_MobileID = -5000 and PTT_Inaktiv = 0"_s), 1);
    QCOMPARE(f.anzahl(u"Z_ERFASSUNG where geloescht = 0"_s), 2);
}

void TestTeams::erneutSpeichernOhneTeam() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    quellEintrag(f);
    aktiv(f, {F::Chef, F::Bert, F::Cora});
    f.dm().TeamZerSpeichernFuerAlle(kQuelle);

    // With team recording permitted and nobody active, the editor dissolves the recording.
    f.dm().TeamLoescheAktiveTeamLPEs();
    f.dm().TeamZERLoescheAlleTeameintraege(kQuelle);

    QCOMPARE(f.anzahl(u"Z_ERFASSUNG where geloescht = 1 and MobileID in (-4999, -4998)"_s), 2);
    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, kQuelle).value(u"geloescht"_s).toInt(), 0);
    QCOMPARE(f.anzahl(u"Lumora_Team where PTT_Inaktiv = 1"_s), 3);
    // Withdrawn links still mark a team entry but bring nobody back into the active team.
    QVERIFY(f.dm().TeamIstBestehenderEintrag(kQuelle));
    QVERIFY(f.dm().TeamSchreibeLumora_TeamInLumora_TeamAktiveLPE(kQuelle));
    QCOMPARE(aktiveMitglieder(f), QList<int>());
}

void TestTeams::loeschenVonEinemMitglied() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    quellEintrag(f);
    aktiv(f, {F::Chef, F::Bert, F::Cora});
    f.dm().TeamZerSpeichernFuerAlle(kQuelle);
    f.offenerEintrag(-3000, F::Bert, kHeute, um(13, 0));

    QVERIFY(f.dm().ZER_LoescheDatensatzTeam(-4999));

    QCOMPARE(f.anzahl(u"Z_ERFASSUNG where geloescht = 1 and Owner = 1"_s), 3);
    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, -3000).value(u"geloescht"_s).toInt(), 0);
    QCOMPARE(f.anzahl(u"Lumora_Team where PTT_Inaktiv = 1"_s), 3);
}

void TestTeams::offeneZeitenDerMitgliederAbschliessen() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    quellEintrag(f);
    f.offenerEintrag(-3000, F::Bert, kHeute, um(7, 0));
    f.offenerEintrag(-3001, F::Cora, kHeute, um(9, 0));
    f.offenerEintrag(-3002, F::Cora, kHeute - 1.0, um(7, 0));
    aktiv(f, {F::Chef, F::Bert, F::Cora});

    f.dm().TeamZerSpeichernFuerAlle(kQuelle);

    const QVariantMap bert = f.zeile(u"Z_ERFASSUNG"_s, -3000);
    QCOMPARE(bert.value(u"BisIstNULL"_s).toInt(), 0);
    QCOMPARE(bert.value(u"ZER_Bis"_s).toString(), F::zeitText(8, 0));
    QCOMPARE(bert.value(u"ZER_Std100"_s).toDouble(), 1.0);
    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, -3001).value(u"BisIstNULL"_s).toInt(), 1);
    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, -3002).value(u"BisIstNULL"_s).toInt(), 1);
}

void TestTeams::praesenzFuerMitglieder() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    for (int gruppe : {F::GruppeLeitung, F::GruppeTeam})
        QVERIFY(f.setzeRecht(gruppe, u"BER_ZPZ_automatik"_s, 1));
    fBER_TeamPraesenzzeit = true;
    quellEintrag(f);
    f.praesenz(-200, F::Cora, kHeute, um(6, 30));
    aktiv(f, {F::Chef, F::Bert, F::Cora});

    f.dm().TeamZerSpeichernFuerAlle(kQuelle);

    QCOMPARE(f.anzahl(u"Z_PRAESENZZEIT where ZPZ_LPE_ID = 12 and ZPZ_Von = '"_s + F::zeitText(8, 0) + u"'"_s), 1);
    QCOMPARE(f.anzahl(u"Z_PRAESENZZEIT where ZPZ_LPE_ID = 10"_s), 1);
    QCOMPARE(f.anzahl(u"Z_PRAESENZZEIT where ZPZ_LPE_ID = 15"_s), 1);
}

void TestTeams::keineDoppelteMobileID() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    quellEintrag(f);
    // An entry of another day whose number the server has already replaced still carries -4999 as MobileID.
    f.offenerEintrag(-4999, F::Cora, kHeute - 20.0, um(8, 0));
    QVERIFY(f.sql(u"update Z_ERFASSUNG set ZER_ID = 81234, CloudStatus = 1 where MobileID = -4999"_s));
    aktiv(f, {F::Chef, F::Bert});

    f.dm().TeamZerSpeichernFuerAlle(kQuelle);

    QCOMPARE(f.anzahl(u"Z_ERFASSUNG where MobileID = -4999"_s), 1);
    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, -4899).value(u"ZER_LPE"_s).toInt(), F::Bert);
    QCOMPARE(f.anzahl(u"Lumora_Team where PTT_MobileID = -4899"_s), 1);
}

void TestTeams::fehlschlagendeKopieEndetUndVerliertNichts() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    quellEintrag(f);
    aktiv(f, {F::Chef, F::Bert, F::Cora});
    f.dm().TeamZerSpeichernFuerAlle(kQuelle);
    // Every further copy fails, whatever id it tries.
    QVERIFY(f.sql(u"drop table Z_ERFASSUNG_TEMP"_s));

    f.dm().TeamZerSpeichernFuerAlle(kQuelle);

    // The members keep the copies they had; nothing of the recording is lost.
    QCOMPARE(f.anzahl(u"Z_ERFASSUNG"_s), 3);
    QCOMPARE(f.anzahl(u"Z_ERFASSUNG where geloescht = 0"_s), 3);
    QCOMPARE(f.anzahl(u"Lumora_Team where PTT_Inaktiv = 0"_s), 3);
    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, kQuelle).value(u"ZER_Text"_s).toString(), u"Dach decken"_s);
}

void TestTeams::gesperrteDateiVerliertNichts() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    quellEintrag(f);
    aktiv(f, {F::Bert, F::Cora});
    {
        F::Sperre sperre(f);
        QVERIFY(sperre.aktiv());
        f.dm().TeamZerSpeichernFuerAlle(kQuelle);
        f.dm().TeamToggleTeamInListView(F::Chef, true);
        f.dm().TeamLoescheAktiveTeamLPEs();
        QVERIFY(!f.dm().TeamAktiveTeamMitgliederVorhanden());
        QCOMPARE(f.dm().TeamGibTeamMitgliederAlsString(), QString());
    }
    const QVariantMap quelle = f.zeile(u"Z_ERFASSUNG"_s, kQuelle);
    QCOMPARE(quelle.value(u"geloescht"_s).toInt(), 0);
    QCOMPARE(quelle.value(u"ZER_Std100"_s).toDouble(), 2.0);
    QCOMPARE(f.anzahl(u"Z_ERFASSUNG"_s), 1);
    QCOMPARE(aktiveMitglieder(f), (QList<int>{F::Bert, F::Cora}));
}

void TestTeams::offeneZeitenDesTeamsAbschliessen() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    f.offenerEintrag(-3000, F::Bert, kHeute, um(7, 0));
    f.offenerEintrag(-3001, F::Cora, kHeute, um(7, 30));
    f.offenerEintrag(-3002, kDora, kHeute, um(7, 30));
    aktiv(f, {F::Bert, F::Cora});

    f.dm().TeamOffeneZeitenAbschliessen(false, kHeute, um(12, 0));
    QCOMPARE(f.anzahl(u"Z_ERFASSUNG where BisIstNULL = 1"_s), 3);

    f.dm().TeamOffeneZeitenAbschliessen(true, kHeute, um(12, 0));
    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, -3000).value(u"ZER_Std100"_s).toDouble(), 5.0);
    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, -3001).value(u"ZER_Std100"_s).toDouble(), 4.5);
    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, -3002).value(u"BisIstNULL"_s).toInt(), 1);
}

void TestTeams::offeneZeitenDerUebrigenAbschliessen() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    quellEintrag(f);
    aktiv(f, {F::Chef, F::Bert, F::Cora});
    f.dm().TeamZerSpeichernFuerAlle(kQuelle);
    f.offenerEintrag(-3000, F::Bert, kHeute, um(10, 0));
    f.offenerEintrag(-3001, F::Cora, kHeute, um(10, 0));
    f.offenerEintrag(-3002, F::Chef, kHeute, um(10, 0));
    // Only Bert is still active: the others of the recording are closed, he is left to his own closing.
    aktiv(f, {F::Bert});

    f.dm().TeamSchliesseMehrereOffeneZERs(kHeute, um(11, 30), -4999, -2);

    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, -3000).value(u"BisIstNULL"_s).toInt(), 1);
    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, -3001).value(u"ZER_Std100"_s).toDouble(), 1.5);
    QCOMPARE(f.zeile(u"Z_ERFASSUNG"_s, -3002).value(u"ZER_Std100"_s).toDouble(), 1.5);
}

QTEST_GUILESS_MAIN(TestTeams)
#include "tst_teams.moc"
