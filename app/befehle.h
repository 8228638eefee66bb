// The commands that live outside commands.cpp, by area; commands.cpp lists
// them in its table.
#pragma once

#include <QStringList>

struct BerichtZeitraum;

namespace cli {
// cmd_konten.cpp: the chart and the tax keys.
int cmdAccounts(const QStringList& args);
int cmdKeys(const QStringList& args);
int cmdKonto(const QStringList& args);
int cmdSchluessel(const QStringList& args);
// cmd_buchen.cpp: the ledger.
int cmdBook(const QStringList& args);
int cmdList(const QStringList& args);
int cmdCancel(const QStringList& args);
int cmdDelete(const QStringList& args);
int cmdLock(const QStringList& args);
int cmdVerify(const QStringList& args);
// cmd_austausch.cpp: bookings in and out.
int cmdExportCsv(const QStringList& args);
int cmdImport(const QStringList& args);
int cmdGenerate(const QStringList& args);
// cmd_steuer.cpp: the figures for the tax office.
int cmdUstva(const QStringList& args);
int cmdEuer(const QStringList& args);
int cmdZm(const QStringList& args);
int cmdSaldenliste(const QStringList& args);
int cmdEinstellungen(const QStringList& args);
// cmd_status.cpp: where the bookkeeping stands, the start page's parser
// function, the calculation file.
int cmdStatus(const QStringList& args);
int cmdGetkont(const QStringList& args);
int cmdBerechnung(const QStringList& args);
// cmd_berichte.cpp: the report lists.
int cmdBericht(const QStringList& args);
struct Zeitraum;
// The period of the report classes for the period flags of a command.
BerichtZeitraum berichtZeitraum(const Zeitraum& z);
// cmd_kasse.cpp: the cash book and the exchange of cash registers.
int cmdKassenbuch(const QStringList& args);
int cmdKassenabschluss(const QStringList& args);
int cmdKasse(const QStringList& args);
int cmdKasseExport(const QStringList& args);
int cmdKasseImport(const QStringList& args);
int cmdKassenbuchungenExport(const QStringList& args);
int cmdKassenbuchungenImport(const QStringList& args);
int cmdKasseFreigeben(const QStringList& args);
// cmd_jahr.cpp: the change of year.
int cmdSaldovortrag(const QStringList& args);
int cmdJahreswechsel(const QStringList& args);
// cmd_faktura.cpp: the invoicing.
int cmdFirma(const QStringList& args);
int cmdKunde(const QStringList& args);
int cmdArtikel(const QStringList& args);
int cmdRechnung(const QStringList& args);
int cmdAngebot(const QStringList& args);
int cmdAuftrag(const QStringList& args);
int cmdLieferschein(const QStringList& args);
int cmdMahnung(const QStringList& args);
int cmdErinnerungen(const QStringList& args);
// cmd_bank.cpp: bank connections, statement import, takeover into bookings.
int cmdBank(const QStringList& args);
// cmd_regel.cpp: booking templates and the recurring bookings they make due.
int cmdVorlage(const QStringList& args);
int cmdRegelbuchungen(const QStringList& args);
}  // namespace cli
