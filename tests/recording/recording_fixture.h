#pragma once

#include "core/DM_Sqlite1.h"
#include "core/tdatetime.h"
#include "core/tdm.h"

#include <QObject>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

struct sqlite3;

// A local file of a fresh profile with the schema of the program and the master data of one tenant: three
// employees in two groups, cost types of every kind, material prices and one booking object of each kind.
// The chief (10) is logged in and current; every write goes through the real modules.
class RecordingFixture {
public:
    static constexpr int Mandant = 7;
    static constexpr int AndererMandant = 8;
    static constexpr int Chef = 10; // group Leitung, cost rate 40, billing rate 65
    static constexpr int Bert = 12; // group Team, cost rate 30, billing rate 50
    static constexpr int Cora = 15; // group Team, cost rate 35, billing rate 55
    static constexpr int GruppeLeitung = 1;
    static constexpr int GruppeTeam = 2;
    static constexpr int Auftrag = 300;
    static constexpr int Werkauftrag = 301;
    static constexpr int Projekt = 302;
    static constexpr int Adresse = 303;
    static constexpr int MaterialFranken = 500; // prices in the tenant's own currency
    static constexpr int MaterialEuro = 501;    // prices in euro

    RecordingFixture();
    ~RecordingFixture();
    RecordingFixture(const RecordingFixture&) = delete;
    RecordingFixture& operator=(const RecordingFixture&) = delete;

    // False (with the reason) when the file could not be set up.
    bool ok() const { return m_fehler.isEmpty(); }
    QString fehler() const { return m_fehler; }
    Tdm& dm() { return *m_dm; }
    QString dateiPfad() const;

    // Logs an employee in as the login check does: tenant, logged-in and current employee, short name.
    void anmelden(int lpeId, const QString& kurz);

    // One permission column of a group.
    bool setzeRecht(int gruppe, const QString& spalte, const QVariant& wert);

    // Runs a statement of the test's own through the main connection; false with a warning when it fails.
    bool sql(const QString& text, const QVariantMap& parameter = {});
    // The first column of the first row, invalid when there is none.
    QVariant wert(const QString& text, const QVariantMap& parameter = {});
    // Every column of the tenant's row of `tabelle` with that MobileID, by column name; empty when there is none.
    QVariantMap zeile(const QString& tabelle, int mobileId);
    int anzahl(const QString& tabelleUndBedingung);

    // An open time entry of the current tenant written directly: the employee's, on `tag`, from `von` on.
    int offenerEintrag(int mobileId, int lpeId, TDateTime tag, TDateTime von, int typ = 1);
    // A presence time written directly; without `bis` it is open.
    int praesenz(int mobileId, int lpeId, TDateTime tag, TDateTime von, TDateTime bis = TDateTime());

    // A team link of a record: `tabelle` is Lumora_Team or Lumora_TeamZPZ.
    bool teamLink(const QString& tabelle, int mobileId, const QString& guid, bool inaktiv = false);

    // The file held by another connection, as the synchronisation thread holds it: every statement of the main
    // connection fails at once while the lock lives.
    class Sperre {
    public:
        explicit Sperre(RecordingFixture& f);
        ~Sperre();
        Sperre(const Sperre&) = delete;
        Sperre& operator=(const Sperre&) = delete;
        bool aktiv() const { return m_db != nullptr; }

    private:
        sqlite3* m_db = nullptr;
    };

    // The stored text form of a pure time of day.
    static QString zeitText(int stunde, int minute);

private:
    void seed(QString& fehler);

    QTemporaryDir m_dir;
    QByteArray m_altesAppdata;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<TDM_Sqlite> m_sqlite;
    std::unique_ptr<TMeineFDQuery> m_halter;
    QString m_fehler;
};

// Base of the suites that want a fresh fixture for every test, with the clock at 08:00 of the test day.
class RecordingTest : public QObject {
    Q_OBJECT
protected:
    static TDateTime testTag(); // 2026-03-10
    // A moment of the test day, and a pure time of day.
    static TDateTime um(int stunde, int minute, int sekunde = 0, int ms = 0);
    static TDateTime zeit(int stunde, int minute);

    Tdm& dm() { return f->dm(); }
    std::unique_ptr<RecordingFixture> f;

private slots:
    void init();
    void cleanup();
};
