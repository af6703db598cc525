#pragma once

#include "core/tdatetime.h"

#include <QString>

// The day a dump is requested for, as the settings store keeps it: the German short date
// form "dd.mm.yyyy", written by the main thread and read by the synchronisation thread.
namespace TagesDumpDatum {

QString alsText(TDateTime tag);
// False for a text that names no day; tag is then left alone.
bool lese(const QString& text, TDateTime& tag);

} // namespace TagesDumpDatum
