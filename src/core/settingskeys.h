#pragma once

#include <QString>

// The keys of the settings store (table INTERNAL). Keys are compared case-sensitively,
// so every reader and writer takes them from here.
namespace SettingKey {

// ---- file and synchronisation ----
inline const QString DBVERSION = QStringLiteral("DBVERSION");
inline const QString SYNCVERSION = QStringLiteral("SYNCVERSION");
inline const QString SyncVersionPlanung = QStringLiteral("SyncVersionPlanung");
inline const QString SyncFortschritt = QStringLiteral("SyncFortschritt");
inline const QString StarteSyncSofort = QStringLiteral("StarteSyncSofort");
inline const QString BinAmSynchen = QStringLiteral("BinAmSynchen");
inline const QString PlanungsDatenGeloescht = QStringLiteral("PlanungsDatenGeloescht");
inline const QString TagesDumpDatum = QStringLiteral("TagesDumpDatum");
inline const QString DeviceGUID = QStringLiteral("DeviceGUID");
inline const QString UpdateInfoAusblenden = QStringLiteral("UpdateInfoAusblenden");

// ---- tenant settings from the server ----
inline const QString PlanungAktiv = QStringLiteral("PlanungAktiv");
inline const QString MaxAlterDerZeiten = QStringLiteral("MaxAlterDerZeiten");
inline const QString BarcodeScanAktiv = QStringLiteral("BarcodeScanAktiv");
inline const QString ServerVersion = QStringLiteral("ServerVersion");
inline const QString ServerVersionINFO = QStringLiteral("ServerVersionINFO");

// ---- current login ----
inline const QString User_Anmeldung_OK = QStringLiteral("User_Anmeldung_OK");
inline const QString Firma_PIN = QStringLiteral("Firma_PIN");
inline const QString Firma_Kennwort = QStringLiteral("Firma_Kennwort");
inline const QString Firma_Name = QStringLiteral("Firma_Name");
inline const QString Firma_Pin_Kennwort_bisher = QStringLiteral("Firma_Pin_Kennwort_bisher");
inline const QString Mandant_ID = QStringLiteral("Mandant_ID");
inline const QString MandantStatus = QStringLiteral("MandantStatus");
inline const QString User_Kurz = QStringLiteral("User_Kurz");
inline const QString User_Kennwort = QStringLiteral("User_Kennwort");
inline const QString User_Name = QStringLiteral("User_Name");
inline const QString User_LPE_ID = QStringLiteral("User_LPE_ID");

// ---- records open for editing and the last scanned object ----
inline const QString aktuelleZER = QStringLiteral("aktuelleZER");
inline const QString aktuelleZPZ = QStringLiteral("aktuelleZPZ");
inline const QString ScanLetztesObjekt_Typ = QStringLiteral("ScanLetztesObjekt_Typ");
inline const QString ScanLetztesObjekt_ID = QStringLiteral("ScanLetztesObjekt_ID");

// ---- device preferences ----
inline const QString BilderVerkleinern = QStringLiteral("BilderVerkleinern");
inline const QString Kalenderansicht = QStringLiteral("Kalenderansicht");
inline const QString OverSize = QStringLiteral("OverSize");
inline const QString ImmerVordergrund = QStringLiteral("ImmerVordergrund");
inline const QString ImmerVollbild = QStringLiteral("ImmerVollbild");
inline const QString TerminalAktiv = QStringLiteral("TerminalAktiv");
inline const QString TerminalTimeOut = QStringLiteral("TerminalTimeOut");
inline const QString AuswahlAnzahl = QStringLiteral("AuswahlAnzahl");
inline const QString AuswahlSortNr = QStringLiteral("AuswahlSortNr");
inline const QString AuswahlSortDESC = QStringLiteral("AuswahlSortDESC");

// ---- planner view ----
inline const QString PlanungAnzahlTage = QStringLiteral("PlanungAnzahlTage");
inline const QString PlanungZeigeTeams = QStringLiteral("PlanungZeigeTeams");
inline const QString PlanungStdVon = QStringLiteral("PlanungStdVon");
inline const QString PlanungStdBis = QStringLiteral("PlanungStdBis");
inline const QString PlanungStdTeilung = QStringLiteral("PlanungStdTeilung");
inline const QString PlanungStdTeilungHoehe = QStringLiteral("PlanungStdTeilungHoehe");
inline const QString PlanungAnsichtQuer = QStringLiteral("PlanungAnsichtQuer");
inline const QString PlanungAnsichtQuerHalbeTage = QStringLiteral("PlanungAnsichtQuerHalbeTage");

} // namespace SettingKey
