#pragma once

#include <QString>

// The fixed login of the test company that the login page's "Testdaten" button fills in.
namespace TestLogin {
inline const QString FirmaPin = QStringLiteral("4711");
inline const QString FirmaKennwort = QStringLiteral("Test");
inline const QString UserKurz = QStringLiteral("Test");
inline const QString UserKennwort = QStringLiteral("Test");
// As the setting Firma_Pin_Kennwort_bisher holds it after a login of the test company.
inline QString PinUndKennwort() {
    return FirmaPin + FirmaKennwort;
}
} // namespace TestLogin
