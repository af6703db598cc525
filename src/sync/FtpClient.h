#pragma once

#include <QString>

#include <functional>

// A small FTP client for the photo server: binary transfers over IPv4 in passive mode,
// without keep-alive or proxy. Host, port and account come from LUMORA_FTP_HOST,
// LUMORA_FTP_PORT, LUMORA_FTP_USER and LUMORA_FTP_PASSWORD.
class TFtpClient {
public:
    enum class Ergebnis {
        Ok,
        KeineVerbindung,      // server unreachable or login refused
        OrdnerNichtAnlegbar,  // the target folder is missing and cannot be made
        UebertragungFehlerhaft,
        NameUnzulaessig, // folder or file name would leave the folder or break the command
    };

    TFtpClient();

    // Bytes handed to the server so far, with the file's size; 0 when the transfer begins.
    using Fortschritt = std::function<void(qint64 gesendet, qint64 gesamt)>;
    void setFortschritt(Fortschritt fortschritt) { m_fortschritt = std::move(fortschritt); }

    // Puts the file into folder (made when missing) under its own name.
    Ergebnis hochladen(const QString& ordner, const QString& dateiPfad);
    // Puts the file into folder, or where the login lands when folder cannot be entered.
    Ergebnis hochladenOhneOrdnerAnlegen(const QString& ordner, const QString& dateiPfad);
    QString lastError() const { return m_error; }

    // One plain name within its folder: no separator, not "." or "..", no control character
    // (a CR/LF would end the FTP command and start another).
    static bool istSichererName(const QString& name);

    static constexpr long LeseTimeoutMSecs = 600000;

private:
    Ergebnis uebertrage(const QString& ordner, const QString& dateiPfad, bool ordnerAnlegen);

    Fortschritt m_fortschritt;
    QString m_host;
    QString m_port;
    QString m_user;
    QString m_password;
    QString m_error;
};
