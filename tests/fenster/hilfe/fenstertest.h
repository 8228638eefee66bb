// What the window tests share: the dalvo program as a script runs it (to
// build the sample case and to compare the window's figures with the
// command line's JSON), and a main window on a case.
#pragma once

#include "fenster/sitzung.h"
#include "host/app/ui.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QDialog;
class QWidget;

namespace fenstertest {

struct Lauf {
    int rc = -1;
    QString out, err;
};
// Runs the dalvo program (DALVO_BIN, else the one of this build) with `args`.
Lauf dalvo(const QStringList& args);
// The JSON object `dalvo ARGS` prints; an empty object (and a warning) when
// the command failed.
QJsonObject json(const QStringList& args);
// Builds the sample case at `pfad` as scripts/demo.sh does: the year 2016
// of data/samples/musterfall_2016.csv, monthly filing with extension, the
// duplicate cancelled, the notebook in the asset register with its
// depreciation. False (with a warning) when a step failed.
bool musterfallAnlegen(const QString& pfad);
// Test settings (recent files, window state) go to a private place.
void einstellungenIsolieren();

// A user at the window: `schritt` runs on the next modal dialog once it is
// shown; text typed into the line edit `name` of `eltern`; the push button
// `name` clicked; the dialog's OK button pressed.
void imDialog(const std::function<void(QDialog*)>& schritt);
void tippe(QWidget* eltern, const char* name, const QString& text);
void klicke(QWidget* eltern, const char* name);
void bestaetige(QDialog* d);
// The bytes of a file (empty when it cannot be read).
QByteArray inhalt(const QString& pfad);

// A test suite's case: the sample built once (vorbereiten, from
// initTestCase), a fresh copy of it opened in a session for each test
// (oeffnen, from init; every question answered yes unless the test says
// otherwise) and closed again (schliessen, from cleanup). False with a
// warning when a step failed.
struct Musterfall {
    QTemporaryDir m_dir;
    QString m_muster, m_fall;
    std::unique_ptr<fenster::Sitzung> m_sitzung;
    ScriptedUi m_ui;
    Ui* m_vorher = nullptr;

    bool vorbereiten();
    bool oeffnen();
    void schliessen();
};

}  // namespace fenstertest
