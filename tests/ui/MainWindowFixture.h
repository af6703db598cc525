#pragma once

#include "core/LocalFileFixture.h"
#include "core/tdatetime.h"

#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class QWidget;
class TWindowsForm;
class TDatenAusCloudThread;
class TListViewUebersicht;

// The day the window suites play on, and a time of it.
inline const TDateTime kHeute = TDateTime::encodeDate(2026, 3, 10);
inline TDateTime um(int h, int m) {
    return TDateTime::encodeTime(h, m);
}

// A local file with the schema, optionally a remembered login of the company "Muster AG"
// (tenant 7, employee 42 "Max Muster"), and the main window on top of it. Records every
// synchronisation thread the window starts so that the test ends only after they have.
class MainWindowFixture {
public:
    static constexpr int Mandant = 7;
    static constexpr int Personal = 42;

    // Without a service the window's threads are pointed at a closed loopback port.
    explicit MainWindowFixture(bool mitServer = false);
    ~MainWindowFixture();

    LocalFileFixture& file() { return m_file; }

    // The remembered login in the login table, the users and the group, and the settings of
    // a previous successful login. berFelder are extra "column = value" pairs of the group.
    void speichereLogin(const QString& berFelder = {});

    int neuePraesenzzeit(TDateTime tag, TDateTime von, TDateTime bis, int cloudStatus, bool offen = false);
    int neuerEintrag(TDateTime tag, int typ, TDateTime von, TDateTime bis, double std100, const QString& bezeichnung,
                     int cloudStatus, int km = 0);

    TWindowsForm& oeffneFenster();
    TWindowsForm& fenster() { return *m_window; }
    void schliesseFenster();
    // Remembers the window's current synchronisation thread, to wait for it at the end.
    void merkeThread();

    template <class T> T* find(const char* name) const;
    TListViewUebersicht* uebersicht() const;
    // "typ|von|bis|total|status|zusatz|kostenart" for each row, "# header" for headers.
    QStringList zeilen() const;

    // Saves a picture of the window into the build folder; returns its path.
    QString bildSpeichern(const QString& name);

private:
    LocalFileFixture m_file;
    std::unique_ptr<TWindowsForm> m_window;
    std::vector<QPointer<TDatenAusCloudThread>> m_threads;
    int m_naechsteMobileID = -1000;
};

#include "ui/WindowsMainUnit1.h"

template <class T> T* MainWindowFixture::find(const char* name) const {
    return m_window->findChild<T*>(QString::fromLatin1(name));
}
