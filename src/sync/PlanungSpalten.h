#pragma once

#include <QString>
#include <QStringList>

// The columns in which assignments, planning teams and their members travel, and the GUID
// texts they are keyed by.
namespace PlanungSpalten {

// Stands for "no team" wherever a team GUID is expected.
inline const QString OhneTeamGuid = QStringLiteral("{1AB3147F-3B77-4F39-8497-6B7869FF2D05}");
// Opens every GUID list sent to the server, so that such a list is never empty. No team uses it.
inline const QString PlatzhalterGuid = QStringLiteral("{00000000-0000-0000-0000-000000000000}");

// The assignment columns that come down, and those that go up (the office's ordering and
// colour and the deletion flag stay the server's).
const QStringList& Planung();
const QStringList& PlanungHochladen();
// Scrambled on the server; the office's colour arrives scrambled as well.
bool VerschluesseltHochladen(const QString& spalte);
bool VerschluesseltLaden(const QString& spalte);

const QStringList& Team();
const QStringList& TeamPersonal();

bool IstGuidSpalte(const QString& spalte);
// A GUID as it is compared and sent: the braced text's first 38 characters, upper case.
QString Guid(const QString& text);
// Whether text is a braced GUID, i.e. safe to quote into a statement.
bool IstGuid(const QString& text);
// The key of a team member in the lists: team GUID, hyphen, personnel id.
QString MitgliedSchluessel(const QString& teamGuid, qint64 lpe);
// "'a', 'b'" of values that are GUIDs or member keys (checked by the caller).
QString SqlListe(const QStringList& werte);

} // namespace PlanungSpalten
