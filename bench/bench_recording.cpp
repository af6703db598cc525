// The day's recording operations on a file of realistic size: 200 employees, 60 days of entries and presence
// times (what the maximum age keeps locally). Prints the median and the slowest run of each operation, and what
// SQLite did in one run: statements, virtual-machine steps (its measure of work: a lookup by index takes tens, a
// pass over a table of 60,000 rows hundreds of thousands), commits to the file.
// With --statements every statement of each operation's last run is listed with its steps and time.
#include "recording/recording_fixture.h"

#include "core/clock.h"
#include "core/globals.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMitarbeiter = 200;
int g_tage = 60; // --days N: a smaller file, e.g. for a run under callgrind
constexpr int kEintraegeProTag = 5;
constexpr int kLaeufe = 20;
const TDateTime kHeute = TDateTime::encodeDate(2026, 3, 10);

bool fuelleDatei(RecordingFixture& f) {
    TMeineFDConnection* verbindung = TMeineFDConnection::getInstance();
    if (!verbindung->open() || !verbindung->beginTransaction())
        return false;
    for (int lpe = 1000; lpe < 1000 + kMitarbeiter; ++lpe) {
        f.sql(u"insert into A_PERSONAL (Mandant_ID, LPE_ID, LPE_KostenStd, LPE_VerrechnenStd) values (7, :l, 40, 65)"_s,
              {{u"l"_s, lpe}});
        f.sql(u"insert into Lumora_User (Mandant_ID, USR_UserID, USR_UserName, USR_Kurz, USR_BER_ID, USR_UserFD)"
              u" values (7, :l, :n, :n, 2, :l)"_s,
              {{u"l"_s, lpe}, {u"n"_s, u"M%1"_s.arg(lpe)}});
    }
    int id = 1;
    for (int tag = 1; tag <= g_tage; ++tag) {
        const QString datum = DTDatetimeToString(kHeute - double(tag));
        for (int lpe = 1000; lpe < 1000 + kMitarbeiter; ++lpe) {
            for (int e = 0; e < kEintraegeProTag; ++e, ++id) {
                f.sql(u"insert into Z_ERFASSUNG (Mandant_ID, ZER_ID, ZER_LPE, ZER_Type, ZER_Datum, ZER_Von, ZER_Bis,"
                      u" ZER_Std, ZER_Std100, ZER_ZKA, MobileID, ZER_Text, ObjektAuftrag) values (7, :id, :l, 1, :d,"
                      u" :von, :bis, :std, 1.5, 'ARB', :m, 'Montage im Erdgeschoss', 'A-300 - Dach')"_s,
                      {{u"id"_s, id},
                       {u"l"_s, lpe},
                       {u"d"_s, datum},
                       {u"von"_s, DTDatetimeToString(TDateTime::encodeTime(7 + 2 * e, 0, 0))},
                       {u"bis"_s, DTDatetimeToString(TDateTime::encodeTime(8 + 2 * e, 30, 0))},
                       {u"std"_s, DTDatetimeToString(TDateTime::encodeTime(1, 30, 0))},
                       {u"m"_s, -id}});
            }
            f.sql(
                u"insert into Z_PRAESENZZEIT (Mandant_ID, ZPZ_ID, ZPZ_LPE_ID, ZPZ_Datum, ZPZ_Von, ZPZ_Bis, ZPZ_Std100,"
                u" MobileID) values (7, :id, :l, :d, '1899-12-30 07:00:00.000', '1899-12-30 17:00:00.000', 10, :m)"_s,
                {{u"id"_s, id}, {u"l"_s, lpe}, {u"d"_s, datum}, {u"m"_s, -id}});
            ++id;
        }
    }
    return verbindung->commit();
}

// A finished hour of work of the current employee with ten active team members besides him.
int neuerTeamEintrag(Tdm& dm) {
    dm.TeamLoescheAktiveTeamLPEs();
    dm.TeamToggleTeamInListView(AktuelleLPE_ID, true);
    for (int lpe = 1000; lpe < 1010; ++lpe)
        dm.TeamToggleTeamInListView(lpe, true);
    const int mobileId = dm.ZER_Neu(Clock::now() - 1.0 / 24);
    dm.ZER_speichernZeiten(mobileId, (Clock::now() - 1.0 / 24).timePart(), Clock::now().timePart(),
                           TDateTime::encodeTime(1, 0), 1.0, false, false);
    return mobileId;
}

// What the connection did during one run of an operation.
struct Zaehler {
    int anweisungen = 0;
    long long schritte = 0;
    int commits = 0;
    bool protokoll = false;
    std::vector<std::string> zeilen;
};

Zaehler g_zaehler;

int beiAnweisung(unsigned art, void*, void* p, void* x) {
    if (art != SQLITE_TRACE_PROFILE)
        return 0;
    auto* stmt = static_cast<sqlite3_stmt*>(p);
    const int schritte = sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_VM_STEP, 0);
    ++g_zaehler.anweisungen;
    g_zaehler.schritte += schritte;
    if (g_zaehler.protokoll) {
        char kopf[64];
        std::snprintf(kopf, sizeof kopf, "      %8d steps %4.0f ms  ", schritte,
                      double(*static_cast<sqlite3_int64*>(x)) / 1e6);
        const char* text = sqlite3_sql(stmt);
        std::string zeile = std::string(text ? text : "", 0, 140);
        std::replace(zeile.begin(), zeile.end(), '\n', ' ');
        g_zaehler.zeilen.push_back(kopf + zeile);
    }
    return 0;
}

int beiCommit(void*) {
    ++g_zaehler.commits;
    return 0;
}

// Hooks on the main connection's current handle; the connection may have been reopened since the last run.
void beobachteVerbindung() {
    static sqlite3* beobachtet = nullptr;
    sqlite3* db = TMeineFDConnection::getInstance()->handle();
    if (!db || db == beobachtet)
        return;
    beobachtet = db;
    sqlite3_trace_v2(db, SQLITE_TRACE_PROFILE, beiAnweisung, nullptr);
    sqlite3_commit_hook(db, beiCommit, nullptr);
}

bool g_anweisungenZeigen = false;

struct Messung {
    const char* name;
    std::function<void()> vorbereiten; // not timed
    std::function<void()> operation;
};

void miss(const Messung& m) {
    std::vector<double> ms;
    for (int i = 0; i < kLaeufe; ++i) {
        Clock::advance(1.0 / 1440); // one minute on, so every run makes fresh numbers and times
        if (m.vorbereiten)
            m.vorbereiten();
        beobachteVerbindung();
        g_zaehler = Zaehler{};
        g_zaehler.protokoll = g_anweisungenZeigen && i == kLaeufe - 1;
        QElapsedTimer t;
        t.start();
        m.operation();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-38s median %7.2f ms   max %7.2f ms   %-11s (%d statements, %lld steps, %d commits)\n", m.name,
                ms[ms.size() / 2], ms.back(), ms[ms.size() / 2] <= 10.0 ? "ok" : "ABOVE 10 ms", g_zaehler.anweisungen,
                g_zaehler.schritte, g_zaehler.commits);
    for (const std::string& zeile : g_zaehler.zeilen)
        std::printf("%s\n", zeile.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--statements") == 0)
            g_anweisungenZeigen = true;
        else if (std::strcmp(argv[i], "--days") == 0 && i + 1 < argc)
            g_tage = std::max(1, std::atoi(argv[++i]));
    Clock::setFixed(kHeute + 6.0 / 24);
    RecordingFixture f;
    if (!f.ok()) {
        std::fprintf(stderr, "setup failed: %s\n", qPrintable(f.fehler()));
        return 1;
    }
    QElapsedTimer laden;
    laden.start();
    if (!fuelleDatei(f)) {
        std::fprintf(stderr, "bulk load failed\n");
        return 1;
    }
    std::printf("file: %d employees, %d days, %d entries, %d presence times, loaded in %.1f s\n", kMitarbeiter, g_tage,
                f.anzahl(u"Z_ERFASSUNG"_s), f.anzahl(u"Z_PRAESENZZEIT"_s), laden.elapsed() / 1000.0);

    Tdm& dm = f.dm();
    int offen = 0;
    const Messung messungen[] = {
        {"new entry (ZER_Neu)", nullptr, [&] { offen = dm.ZER_Neu(Clock::now()); }},
        {"save with costs (ZER_speichernKosten)",
         [&] {
             offen = dm.ZER_Neu(Clock::now());
             dm.ZER_speichernAnzahl(offen, 2.5);
         },
         [&] { dm.ZER_speichernKosten(offen); }},
        {"field write (ZER_speichernText)", nullptr, [&] { dm.ZER_speichernText(offen, u"Dachrinne"_s); }},
        {"close open entries", [&] { offen = dm.ZER_Neu(Clock::now() - 1.0 / 24); },
         [&] {
             dm.ZER_offeneZeitenAbschliessen(Clock::today(), Clock::now().timePart(), AktuelleLPE_ID, -2, false, false,
                                             true);
         }},
        {"pause start", [&] { offen = dm.ZER_Neu(Clock::now() - 1.0 / 24); },
         [&] { dm.PauseStartePause(true, Clock::now()); }},
        {"pause end and continue",
         [&] {
             dm.ZER_Neu(Clock::now() - 1.0 / 24);
             dm.PauseStartePause(true, Clock::now() - 1.0 / 1440);
         },
         [&] { dm.PauseBeendenUndFortsetzen(AktuelleLPE_ID, true, Clock::now()); }},
        {"presence start check", nullptr,
         [&] { dm.ZPZ_PruefeAufOffeneZPZundStarteZPZ(AktuelleLPE_ID, Clock::now(), false); }},
        {"hours of a day", nullptr, [&] { dm.ZER_GibStundenZuTag(Clock::today() - 3.0, 1010); }},
        {"team fan-out to 10 members", [&] { offen = neuerTeamEintrag(dm); },
         [&] { dm.TeamZerSpeichernFuerAlle(offen); }},
        {"team re-save for 10 members",
         [&] {
             offen = neuerTeamEintrag(dm);
             dm.TeamZerSpeichernFuerAlle(offen);
         },
         [&] { dm.TeamZerSpeichernFuerAlle(offen); }},
        {"status light of an entry", [&] { offen = dm.ZER_Neu(Clock::now()); },
         [&] { dm.GibAmpelStatus(false, true, offen, offen, 0, AktuelleLPE_ID); }},
    };
    for (const Messung& m : messungen)
        miss(m);
    return 0;
}
