// The output forms of a list command (konten, steuerschluessel,
// saldenliste, the customer, article and bank lists): the page, --csv,
// --json and --pdf DATEI, each written by the one writer of its form.
#pragma once

#include "app/ausgabe.h"
#include "app/cli.h"

#include <QList>
#include <QString>

#include <functional>

class BerichtListe;

namespace cli {

class Fall;

// --csv, --json, --pdf DATEI, --ersetzen.
QList<Option> listenOptionen();

// Checked before the case is opened, so a refusal changes nothing: one
// output form at most, and the target of --pdf. Exit code, Ok when fine.
int pruefeListenausgabe(const QString& befehl, const Args& a, Ausgabeziel* ziel);

struct Listenform {
    // JSON as a bare list of the rows ([{…}]) rather than the report
    // document (titel, untertitel, summen, zeilen).
    bool jsonNurZeilen = true;
    // The CSV without its heading line.
    bool csvOhneKopf = false;
    // Said on the page instead of an empty table ("" for the table).
    QString leer;
};

// Writes the list `fuellen` makes (false with a German reason on failure)
// in the form `a` asks for, the rows as they are made.
int gibListeAus(const Args& a, Fall& fall, const Ausgabeziel& ziel, const Listenform& form,
                const std::function<bool(BerichtListe*, QString*)>& fuellen);

}  // namespace cli
