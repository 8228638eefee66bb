// The rows of the command table, one list per file of commands; each file
// declares its commands beside their handlers, and commands.cpp joins the
// lists in this order.
#pragma once

#include "app/cli.h"

#include <QList>
#include <QStringList>

struct BerichtZeitraum;

namespace cli {
// commands.cpp: help, version, dbinfo, the new case and its settings.
QList<Befehl> programmBefehle();
// cmd_konten.cpp: the chart and the tax keys.
QList<Befehl> kontenBefehle();
// cmd_buchen.cpp: the ledger.
QList<Befehl> buchenBefehle();
// cmd_austausch.cpp: bookings in and out.
QList<Befehl> austauschBefehle();
// cmd_steuer.cpp: the figures for the tax office.
QList<Befehl> steuerBefehle();
// cmd_status.cpp: where the bookkeeping stands, the start page's parser
// function, the calculation file.
QList<Befehl> statusBefehle();
// cmd_berichte.cpp: the report lists.
QList<Befehl> berichtBefehle();
struct Zeitraum;
// The period of the report classes for the period flags of a command.
BerichtZeitraum berichtZeitraum(const Zeitraum& z);
// cmd_kasse.cpp: the cash book and the exchange of cash registers.
QList<Befehl> kassenBefehle();
// cmd_jahr.cpp: the change of year.
QList<Befehl> jahrBefehle();
// cmd_faktura.cpp: the invoicing.
QList<Befehl> fakturaBefehle();
// cmd_bank.cpp: bank connections, statement import, takeover into bookings.
QList<Befehl> bankBefehle();
// cmd_regel.cpp: booking templates and the recurring bookings they make due.
QList<Befehl> regelBefehle();
// cmd_eingang.cpp: incoming e-invoices read, checked, archived and booked.
QList<Befehl> eingangBefehle();
// cmd_uebergabe.cpp: the books for the tax adviser (DATEV) and the auditor (GoBD).
QList<Befehl> uebergabeBefehle();
// cmd_anlagen.cpp: the fixed-asset register and the Anlage AVEÜR.
QList<Befehl> anlagenBefehle();
}  // namespace cli
