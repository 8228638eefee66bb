// The case the window has open: one session on one case file. The file
// stays open, but the window holds no lock between the user's actions:
// every read runs in a short read transaction (lesen) and every action
// under the write lock for just its own length (handeln), as one command
// of the command line does, so a script can book into the same case while
// the window is open. A change committed elsewhere is noticed by SQLite's
// data_version (checked every second) and announced by geaendert().
#pragma once

#include "kontbaum/fall/falldatei.h"
#include "kontbaum/fall/kontbaum.h"
#include "host/values/date.h"

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

class DBConnection;
class KontoGlobal;

namespace fenster {

class Sitzung : public QObject {
    Q_OBJECT
public:
    // How long an action waits for a script that is writing: long enough for
    // one command, short enough that a person is not left staring.
    static constexpr int kWarteMs = 5000;

    explicit Sitzung(QObject* parent = nullptr);
    ~Sitzung() override;

    // Opens the case file at `pfad` (the open one is closed first). False
    // with a German message in `fehler`; no case is open then.
    bool oeffnen(const QString& pfad, QString* fehler);
    // Closes the open case; nothing unsaved exists (every action is saved
    // when it ends).
    void schliessen();
    bool istOffen() const { return m_offen != nullptr; }
    QString pfad() const { return m_pfad; }

    // The manager and the record of the open case (null without a case).
    // Valid between oeffnen and schliessen; read them inside lesen/handeln.
    KontoGlobal* kg() const;
    Kont_* root() const;
    // What the title and status bar show, as of the last read.
    int steuerjahr() const { return m_steuerjahr; }
    QString betriebsname() const { return m_betrieb; }
    zDate festgeschriebenBis() const { return m_festBis; }

    // Runs `lesen` on the case's connection inside one read transaction.
    // False when the file could not be read; the German message has been
    // shown through the Ui then. Called inside an action, it reads there.
    bool lesen(const std::function<void(DBConnection*)>& lesen);
    // One action of the user: `aktion` runs under the write lock in one
    // transaction and returns an empty string when it did what it should,
    // or the module's German refusal. Only then is the case saved; a refusal
    // or a failed save is shown through the Ui and leaves the file as it
    // was. After a saved action geaendert() is emitted.
    bool handeln(const std::function<QString(DBConnection*)>& aktion);
    // Looks for a change another program committed (the timer does it every
    // second); true and geaendert() emitted when there was one.
    bool aenderungVonAussenPruefen();

signals:
    void geoeffnet();
    void geschlossen();
    // The case changed (an action of the window or a change from outside):
    // every view reads again.
    void geaendert();

private:
    struct Offen;
    void kopfdatenLesen();
    QString m_pfad;
    std::unique_ptr<Offen> m_offen;
    QTimer m_wache;
    int m_tiefe = 0;  // > 0 while a read or an action runs
    int m_steuerjahr = 0;
    QString m_betrieb;
    zDate m_festBis;
};

}  // namespace fenster
