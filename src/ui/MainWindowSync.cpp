// The synchronisation frame: one thread at a time, a check thread followed by a sync
// thread and that by a new check thread, and the window's reaction to every notification.
#include "ui/WindowsMainUnit1.h"

#include "core/DM_Sqlite1.h"
#include "core/globals.h"
#include "core/settingskeys.h"
#include "core/tdm.h"
#include "sync/Thread.DatenAusCloud1.h"
#include "ui/MessageHelper.h"
#include "ui/pages/TErfassungSeite.h"
#include "ui/pages/TUserSeite.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
TNotifyUpdateThread empfaenger(TWindowsForm* fenster) {
    return TNotifyUpdateThread{fenster, [fenster](TDatenAusCloudThread* sender, TSyncStatus status, int value) {
                                   fenster->ReagiereAufSyncStatus(sender, status, value);
                               }};
}

int alsZahl(const QString& text) {
    bool ok = false;
    const int wert = text.trimmed().toInt(&ok);
    return ok ? wert : 0;
}
} // namespace

bool TWindowsForm::ErfassungIstMittenImBearbeiten() const {
    const bool terminalGesperrt = Button_TerminalSperren->isVisibleTo(this) && Layout_Terminal->isVisibleTo(this);
    const QPushButton* fertig = Layout_Erfassung->Button_Fertig;
    return !terminalGesperrt && fertig->isVisibleTo(Layout_Erfassung) &&
           (fertig->text() == u"Speichern"_s || Layout_Erfassung->Button_LoescheZER->text() == u"Löschen"_s);
}

void TWindowsForm::StarteUpdatePruefung(bool force) {
    if (!force && ErfassungIstMittenImBearbeiten())
        return;
    if (!IstAngemeldet)
        return;
    // One thread at a time: a check started while another thread runs replaces it.
    StoppeSynchronisation();
    dm->FDatenAusCloudThread = TDatenAusCloudThread::CreateCheckUpdatesVerfuegbar(
        *TMeineFDConnection::getInstance(), alsZahl(FirmaPin), FirmaKennwort, empfaenger(this),
        dm->InternalLeseINT(SettingKey::MandantStatus, 0));
}

void TWindowsForm::StarteSynchronisation() {
    if (!IstAngemeldet)
        return;
    SyncBildZeigen(true);
    QCoreApplication::processEvents();
    StoppeSynchronisation();
    dm->FDatenAusCloudThread = TDatenAusCloudThread::CreateWithSync(
        *TMeineFDConnection::getInstance(), alsZahl(FirmaPin), FirmaKennwort, AktuelleLPE_ID, empfaenger(this),
        dm->InternalLeseINT(SettingKey::MandantStatus, 0), 1, PlanungGeloescht, VersionsText.trimmed());
}

void TWindowsForm::StoppeSynchronisation() {
    TDatenAusCloudThread* thread = dm->FDatenAusCloudThread;
    if (!thread)
        return;
    dm->FDatenAusCloudThread = nullptr;
    thread->Terminate();
    // The stopped object goes once its run has returned; nobody waits for it.
    if (thread->isFinished())
        thread->deleteLater();
    else
        connect(thread, &QThread::finished, thread, &QObject::deleteLater);
}

void TWindowsForm::SyncBildZeigen(bool visible) {
    Image_Synch->setVisible(visible);
    if (!visible)
        Label_SyncFortschritt->hide();
    QCoreApplication::processEvents();
}

void TWindowsForm::ReagiereAufSyncStatus(TDatenAusCloudThread* sender, TSyncStatus status, int value) {
    // A stopped thread may still report the end of its step; it no longer steers the chain.
    const bool aktuell = sender == nullptr || sender == dm->FDatenAusCloudThread;
    switch (status) {
    case TSyncStatus::SyncUpdatesVorhanden:
    case TSyncStatus::SyncRestart:
        if (!aktuell)
            return;
        StoppeSynchronisation();
        QCoreApplication::processEvents();
        StarteSynchronisation();
        break;
    case TSyncStatus::SyncUpdateFertig:
        if (!aktuell)
            return;
        StoppeSynchronisation();
        QCoreApplication::processEvents();
        SyncBildZeigen(false);
        StarteUpdatePruefung(false);
        break;
    case TSyncStatus::SyncEinstellungen:
        Button_Planner->setVisible(dm->InternalLeseBool(SettingKey::PlanungAktiv, false) &&
                                   dm->GibBerechtigungInteger(u"BER_Planung"_s, AngemeldeteLPE_ID) > 0);
        Layout_User->LabelInfoServerupdate->setVisible(dm->InternalLeseINT(SettingKey::ServerVersion, 0) < 21);
        break;
    case TSyncStatus::SyncZeiten:
        UebersichtErlaubt = true;
        ZeigeTagesUebersicht(Panel1->isEnabled(), true);
        break;
    case TSyncStatus::SyncPlanung:
        PlanungGeloescht = false;
        break;
    case TSyncStatus::SyncCryptoError:
        if (!aktuell)
            return;
        SyncBildZeigen(false);
        StoppeSynchronisation();
        MessageHelper::Hinweis(this,
                               u"Bitte überprüfen sie die Benutzerdaten.\nDas Synchronisieren ist nicht möglich."_s);
        break;
    case TSyncStatus::SyncFortschritt:
        Label_SyncFortschritt->setVisible(value > 0);
        Label_SyncFortschritt->setText(QString::number(value));
        QCoreApplication::processEvents();
        break;
    case TSyncStatus::SyncTeamAenderung:
        dm->TeamLoescheUngueltigeAktiveTeamLPE();
        break;
    }
}
