// The files a business uploads into the tax authorities' portals itself:
// the advance VAT return as the data part of an ElsterXML file (the
// "Anmeldungssteuern" of kind UStVA, version 201601, for the tax office's
// portal) and the recapitulative statement as the CSV import of the federal
// tax office's form. Sending a return directly needs the tax authorities'
// own library and a certificate, which this program does not ship; these
// files are uploaded by hand.
//
// Relies on: steuer (which codes of the return are whole-euro bases), rahmen
// (case properties, the ZM lines). The figures themselves are computed by
// steuer; this file only writes them in the published layouts.
#pragma once

#include "host/values/date.h"
#include "host/values/euro.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QByteArray>
#include <QMap>
#include <QString>

class DBConnection;

namespace Elster {

// The case property with the federal state of the firm's tax office, as its
// two-letter code (BW, BY, BE, BB, HB, HH, HE, MV, NI, NW, RP, SL, SN, ST,
// SH, TH). `db` null: the active case.
extern const char* const kBundeslandFeld;  // "Bundesland"
QString bundesland(DBConnection* db = nullptr);
void setBundesland(const QString& kuerzel, DBConnection* db = nullptr);
// Whether `kuerzel` is one of the sixteen codes (upper case).
bool bundeslandBekannt(const QString& kuerzel);

// The 13-digit tax number of electronic filing (the uniform federal scheme:
// four digits of the tax office, a 0, the eight digits of district, number
// and check digit) from the tax number as the state writes it (10 or 11
// digits; slashes and blanks ignored) and the state's code. A number given
// with 13 digits already is taken when it starts with the state's prefix.
// Empty, with a German reason in `fehler`, when the number does not fit the
// state's scheme.
QString steuernummer13(const QString& steuernummer, const QString& land, QString* fehler);

// What an advance return file says besides the figures.
struct UStVAKopf {
    int jahr = 0;
    int zeitraum = 0;          // 1..12 a month, 41..44 a quarter
    QString steuernummer;      // the 13-digit form
    bool berichtigt = false;   // a corrected return (Kz10 = 1)
    QString name, strasse, plz, ort;  // the data supplier: the firm
    zDate erstellt;            // the day the file was made
};

// The head of the case's return: the firm (master data) as data supplier,
// the 13-digit tax number from the firm's tax number and the case's state,
// today as creation date. False, with a German reason that says what to
// enter, when the firm's name, tax number or state is missing or wrong.
bool kopfDesFalls(DBConnection* db, int jahr, int zeitraum, bool berichtigt, UStVAKopf* kopf, QString* fehler);

// The data part of the 2016 advance return: the element Anmeldungssteuern
// (namespace of ElsterXML v11, art UStVA, version 201601) with the data
// supplier, the creation date and Steuerfall/Umsatzsteuervoranmeldung with
// year, period, tax number and one KzNN per code of `kennzahlen` that is not
// zero: a whole-euro base as an integer, a tax with two decimals and a
// point; Kz83 always. Encoded in ISO-8859-15, the character set of
// ElsterXML. Empty with `fehler` for a period or tax number the format does
// not take.
QByteArray ustvaXml(const UStVAKopf& kopf, const QMap<int, EuroType>& kennzahlen, QString* fehler);

// The CSV import of the recapitulative statement in the form of the federal
// tax office's portal, version 1.0 of its layout: the line "#v1.0", the
// line of field names, then one line per customer and kind: country code,
// VAT number without the country code, the amount in whole euros, the kind
// (L supply, D triangular transaction, S other service). ISO-8859-15 as the
// versions before 3.0 of the import prescribe. Empty when no line is to be
// reported.
QByteArray zmCsv(const QMap<QString, KontoGlobal::UstIdZm>& zeilen);

}  // namespace Elster
