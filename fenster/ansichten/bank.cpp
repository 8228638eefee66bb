// The bank view (see bank.h).
#include "fenster/ansichten/bank.h"

#include "fenster/ansichten/csvlayout.h"
#include "fenster/ansichten/gemeinsam.h"
#include "fenster/ansichten/ueberweisung.h"
#include "fenster/sitzung.h"

#include "host/app/ui.h"
#include "kontbaum/bank/bank.h"
#include "kontbaum/konten/kontoeditor.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

namespace fenster {

using namespace gemeinsam;

BankAnsicht::BankAnsicht(Sitzung& s, QWidget* eltern) : Ansicht(s, eltern) {
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    auto* kopf = new QHBoxLayout;
    m_konten = new QLabel(this);
    m_konten->setWordWrap(true);
    m_konten->setObjectName(QStringLiteral("bankkonten"));
    auto* einrichten = new QPushButton(gemeinsam::symbol("list-add", QStyle::SP_FileDialogNewFolder), QStringLiteral("Bankkonto &einrichten …"), this);
    einrichten->setObjectName(QStringLiteral("einrichten"));
    auto* einlesen = new QPushButton(gemeinsam::symbol("document-open", QStyle::SP_DialogOpenButton), QStringLiteral("Kontoauszug ein&lesen …"), this);
    einlesen->setObjectName(QStringLiteral("einlesen"));
    einlesen->setToolTip(QStringLiteral("CAMT.053/052, MT940 oder CSV der Bank; Dateien lassen sich auch auf die Liste ziehen."));
    kopf->addWidget(m_konten, 1);
    kopf->addWidget(einrichten);
    kopf->addWidget(einlesen);
    auto* ueberweisen = new QPushButton(gemeinsam::symbol("mail-send", QStyle::SP_ArrowRight), QStringLiteral("Über&weisung (SEPA) …"), this);
    ueberweisen->setObjectName(QStringLiteral("ueberweisen"));
    ueberweisen->setToolTip(QStringLiteral("Schreibt eine SEPA-Überweisung (pain.001) offener Eingangsrechnungen für das Online-Banking."));
    kopf->addWidget(ueberweisen);
    connect(ueberweisen, &QPushButton::clicked, this, &BankAnsicht::ueberweisen);
    layout->addLayout(kopf);

    m_nurOffene = new QCheckBox(QStringLiteral("Nur &offene Umsätze"), this);
    m_nurOffene->setObjectName(QStringLiteral("nurOffene"));
    layout->addWidget(m_nurOffene);
    m_tabelle = neueTabelle(this);
    m_tabelle->setObjectName(QStringLiteral("umsaetze"));
    m_tabelle->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_modell = new QStandardItemModel(this);
    m_tabelle->setModel(m_modell);
    layout->addWidget(m_tabelle, 1);

    auto* fuss = new QHBoxLayout;
    auto knopf = [&](const char* name, const char* icon, QStyle::StandardPixmap ersatz, const QString& text, void (BankAnsicht::*slot)()) {
        auto* b = new QPushButton(gemeinsam::symbol(icon, ersatz), text, this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, slot);
        fuss->addWidget(b);
        return b;
    };
    knopf("uebernehmen", "go-next", QStyle::SP_ArrowRight, QStringLiteral("Auswahl &übernehmen"), &BankAnsicht::uebernehmeAuswahl);
    knopf("alleUebernehmen", "go-last", QStyle::SP_MediaSkipForward, QStringLiteral("Alle &sicheren übernehmen"), &BankAnsicht::uebernehmeAlle);
    knopf("vonHand", "document-edit", QStyle::SP_FileDialogDetailedView, QStringLiteral("Von Hand &buchen …"), &BankAnsicht::vonHandBuchen);
    knopf("zuordnen", "insert-link", QStyle::SP_FileLinkIcon, QStringLiteral("Buchung &zuordnen …"), &BankAnsicht::zuordnen);
    knopf("ignorieren", "dialog-cancel", QStyle::SP_DialogCancelButton, QStringLiteral("&Nicht verarbeiten"), &BankAnsicht::nichtVerarbeiten);
    knopf("zuruecksetzen", "edit-undo", QStyle::SP_ArrowBack, QStringLiteral("Zu&rücksetzen"), &BankAnsicht::zuruecksetzen);
    fuss->addStretch();
    layout->addLayout(fuss);
    m_status = new QLabel(this);
    layout->addWidget(m_status);

    connect(m_nurOffene, &QCheckBox::toggled, this, &BankAnsicht::aktualisieren);
    connect(einrichten, &QPushButton::clicked, this, [this] { verbindungDialog(); });
    connect(einlesen, &QPushButton::clicked, this, &BankAnsicht::importDialog);
    // Enter on an open transaction takes it over; on a processed one it
    // shows its booking.
    connect(m_tabelle, &QTableView::activated, this, [this](const QModelIndex& i) {
        const unsigned long nr = m_modell->item(i.row(), 5)->data(Qt::UserRole + 1).toULongLong();
        if (nr) emit zeigeBuchungen(eineBuchung(nr, QStringLiteral("Bankumsatz %1").arg(m_modell->item(i.row(), 0)->text())));
        else uebernehmeAuswahl();
    });
}

QString BankAnsicht::titel() const { return QStringLiteral("Bank"); }
QIcon BankAnsicht::symbol() const { return gemeinsam::symbol("network-server", QStyle::SP_DriveNetIcon); }

void BankAnsicht::aktualisieren() {
    koepfe(m_modell, {QStringLiteral("Nr."), QStringLiteral("Datum"), QStringLiteral("Betrag"), QStringLiteral("Gegenpartei"),
                      QStringLiteral("Verwendungszweck"), QStringLiteral("Status"), QStringLiteral("Wertung"), QStringLiteral("Vorschlag"),
                      QStringLiteral("Grund")});
    QString konten;
    long offen = 0;
    sitzung().lesen([&](DBConnection* db) {
        for (const Bank::Verbindung& v : Bank::verbindungen(db))
            konten += QStringLiteral("%1%2 %3 (%4), Saldo laut Bank %5 €")
                          .arg(konten.isEmpty() ? QString() : QStringLiteral("; "))
                          .arg(v.konto)
                          .arg(v.bezeichnung.isEmpty() ? KontoGlobal::getKontobezeichnung(v.konto) : v.bezeichnung,
                               v.iban.isEmpty() ? v.blz + QLatin1Char('/') + v.kontonummer : v.iban, v.saldo.getText());
        QHash<unsigned long, Bank::Vorschlag> vorschlag;
        for (const Bank::Kandidat& k : Bank::vorschlaege(db)) vorschlag.insert(k.umsatz.id, k.vorschlag);
        for (const Bank::GespeicherterUmsatz& u : Bank::umsaetze(db, m_nurOffene->isChecked())) {
            QList<QStandardItem*> z{zahlZelle(u.id), datumZelle(u.datum), betragZelle(u.betrag), textZelle(u.name), textZelle(u.text),
                                    textZelle(Bank::statusText(u.status, u.buchungsnummer))};
            z.last()->setData(qulonglong(u.status == Bank::Verarbeitet ? u.buchungsnummer : 0), Qt::UserRole + 1);
            if (u.status == Bank::Offen) ++offen;
            if (vorschlag.contains(u.id) && vorschlag[u.id].art != Bank::Vorschlag::Keiner) {
                const Bank::Vorschlag& v = vorschlag[u.id];
                QString was;
                if (v.art == Bank::Vorschlag::Rechnung) was = QStringLiteral("Zahlung der Rechnung %1").arg(v.rechnungsnummer);
                else if (v.art == Bank::Vorschlag::Eingangsrechnung) was = QStringLiteral("Buchung der Eingangsrechnung");
                else if (v.art == Bank::Vorschlag::Vorhanden) was = QStringLiteral("vorhandene Buchung %1").arg(v.quelle);
                else
                    was = QStringLiteral("%1 gegen %2 %3, Schlüssel %4")
                              .arg(KontoGlobal::getBuchungsartText(v.buchungsart, 0))
                              .arg(v.gegenkonto)
                              .arg(KontoGlobal::getKontobezeichnung(v.gegenkonto))
                              .arg(v.steuerschluessel);
                z << zahlZelle(v.wertung) << textZelle(was + (v.wertung >= Bank::kSchwelle ? QStringLiteral(" (sicher)") : QString()))
                  << textZelle(v.grund);
            } else {
                z << textZelle(QString()) << textZelle(u.status == Bank::Offen ? QStringLiteral("kein Vorschlag: von Hand buchen") : QString())
                  << textZelle(QString());
            }
            m_modell->appendRow(z);
        }
    });
    spaltenAnpassen(m_tabelle);
    m_konten->setText(konten.isEmpty() ? QStringLiteral("Noch kein Bankkonto eingerichtet. Ziehen Sie den Kontoauszug der Bank (CAMT, "
                                                             "MT940 oder CSV) auf die Liste oder wählen Sie ihn mit „Kontoauszug einlesen …“; "
                                                             "die Bankverbindung wird dabei eingerichtet.") : QStringLiteral("Bankkonten: ") + konten);
    m_status->setText(QStringLiteral("%1 offene Umsätze").arg(offen));
}

QList<unsigned long> BankAnsicht::auswahl() const {
    QList<unsigned long> ids;
    for (const QModelIndex& i : m_tabelle->selectionModel()->selectedRows(0)) ids << m_modell->item(i.row(), 0)->data(Qt::UserRole).toULongLong();
    if (ids.isEmpty() && m_tabelle->currentIndex().isValid())
        ids << m_modell->item(m_tabelle->currentIndex().row(), 0)->data(Qt::UserRole).toULongLong();
    return ids;
}

bool BankAnsicht::importiereDatei(const QString& pfad) {
    QFile f(pfad);
    if (f.open(QIODevice::ReadOnly) && Bank::erkenneFormat(f.peek(4096)) == Bank::Format::Csv) {
        Bank::CsvLayout l;
        bool keinLayout = false;
        QString grund;
        Bank::erkenneCsvLayout(&f, BuchungenCSV::Zeichensatz::Automatisch, &l, &keinLayout, &grund);
        if (keinLayout) {
            CsvLayoutDialog d(sitzung(), pfad, grund, [&](const Bank::Importoptionen& o, unsigned long konto) { return importiereMit(pfad, o, konto); },
                              this);
            return d.exec() == QDialog::Accepted;
        }
    }
    return importiereMit(pfad, Bank::Importoptionen(), 0);
}

bool BankAnsicht::importiereMit(const QString& pfad, const Bank::Importoptionen& o, unsigned long konto) {
    Bank::Importergebnis r;
    const bool ok = ausfuehren(sitzung(), [&](DBConnection* db, QString* fehler) {
        QFile f(pfad);
        if (!f.open(QIODevice::ReadOnly)) {
            *fehler = QStringLiteral("Die Datei „%1“ kann nicht gelesen werden. Es wurde nichts gespeichert.").arg(pfad);
            return false;
        }
        r = Bank::importiere(db, konto, &f, o);
        if (!r.ok)
            *fehler = r.ohneVerbindung.isEmpty()
                          ? r.meldung
                          : QStringLiteral("Für das Bankkonto %1 der Datei „%2“ ist noch keine Bankverbindung eingerichtet. Die Datei wurde "
                                           "nicht eingelesen; es wurde nichts gespeichert.")
                                .arg(r.ohneVerbindung, QFileInfo(pfad).fileName());
        return r.ok;
    });
    if (!ok && !r.ohneVerbindung.isEmpty() &&
        GetUi().frage(QStringLiteral("Möchten Sie die Bankverbindung für %1 jetzt einrichten? Danach wird die Datei eingelesen.").arg(r.ohneVerbindung),
                      QStringLiteral("Bankverbindung einrichten")) &&
        verbindungDialog(r.ohneVerbindung))
        return importiereMit(pfad, o, konto);
    if (ok) meldeHinweis(r.meldung + QStringLiteral("<br>") + r.zahlen().toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    aktualisieren();
    return ok;
}

void BankAnsicht::importDialog() {
    const QString pfad = QFileDialog::getOpenFileName(this, QStringLiteral("Kontoauszug einlesen"), QString(),
                                                      QStringLiteral("Kontoauszüge (*.xml *.sta *.mt940 *.txt *.csv);;Alle Dateien (*)"));
    if (!pfad.isEmpty()) importiereDatei(pfad);
}

void BankAnsicht::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void BankAnsicht::dropEvent(QDropEvent* e) {
    for (const QUrl& u : e->mimeData()->urls())
        if (u.isLocalFile()) importiereDatei(u.toLocalFile());
    e->acceptProposedAction();
}

bool BankAnsicht::verbindungDialog(const QString& vorschlag) {
    QDialog d(this);
    d.setWindowTitle(QStringLiteral("Bankkonto einrichten"));
    auto* form = new QFormLayout(&d);
    auto* konto = new QComboBox(&d);
    konto->setObjectName(QStringLiteral("konto"));
    sitzung().lesen([&](DBConnection*) {
        for (const Kontoeditor::Kontozeile& k : Kontoeditor::kontenliste(false))
            if (k.kategorie == 202 || k.kategorie == 203 || k.kategorie == 300)
                konto->addItem(QStringLiteral("%1 %2").arg(k.nummer).arg(k.bezeichnung), qulonglong(k.nummer));
    });
    auto* iban = new QLineEdit(vorschlag, &d);
    iban->setObjectName(QStringLiteral("iban"));
    auto* bic = new QLineEdit(&d);
    auto* name = new QLineEdit(&d);
    name->setObjectName(QStringLiteral("name"));
    auto* bank = new QLineEdit(&d);
    form->addRow(QStringLiteral("&Konto im Kontenplan:"), konto);
    form->addRow(QStringLiteral("&IBAN:"), iban);
    form->addRow(QStringLiteral("&BIC:"), bic);
    form->addRow(QStringLiteral("Be&zeichnung:"), name);
    form->addRow(QStringLiteral("Ba&nk:"), bank);
    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Einrichten"));
    knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    form->addRow(knoepfe);
    connect(knoepfe, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    connect(knoepfe, &QDialogButtonBox::accepted, &d, [&] {
        Bank::Verbindung v;
        v.konto = konto->currentData().toULongLong();
        v.iban = iban->text().trimmed();
        v.bic = bic->text().trimmed();
        v.bezeichnung = name->text().trimmed();
        v.bank = bank->text().trimmed();
        if (ausfuehren(sitzung(), [&](DBConnection* db, QString* fehler) { return Bank::legeVerbindungAn(db, v, fehler) != 0; }))
            d.accept();
    });
    const bool eingerichtet = d.exec() == QDialog::Accepted;
    aktualisieren();
    return eingerichtet;
}

namespace {
bool uebernimm(Sitzung& s, const Bank::Auftrag& a) {
    Bank::Uebernahmeergebnis r;
    const bool ok = ausfuehren(s, [&](DBConnection* db, QString* fehler) { return Bank::uebernehmen(db, a, &r, fehler); });
    if (!ok) return false;
    QString t = r.meldung;
    if (!r.ohneVorschlag.isEmpty())
        t += QStringLiteral("<br>%1 Umsätze ohne sicheren Vorschlag sind offen geblieben; buchen Sie sie von Hand.").arg(r.ohneVorschlag.size());
    meldeHinweis(t);
    return true;
}
}  // namespace

void BankAnsicht::uebernehmeAuswahl() {
    Bank::Auftrag a;
    a.ids = auswahl();
    if (a.ids.isEmpty()) return meldeHinweis(QStringLiteral("Bitte wählen Sie die Umsätze aus, die übernommen werden sollen."));
    uebernimm(sitzung(), a);
    aktualisieren();
}

void BankAnsicht::uebernehmeAlle() {
    Bank::Auftrag a;
    a.alle = true;
    uebernimm(sitzung(), a);
    aktualisieren();
}

void BankAnsicht::vonHandBuchen() {
    const QList<unsigned long> ids = auswahl();
    if (ids.size() != 1) return meldeHinweis(QStringLiteral("Bitte wählen Sie genau einen Umsatz aus."));
    QDialog d(this);
    d.setWindowTitle(QStringLiteral("Umsatz %1 von Hand buchen").arg(ids.first()));
    auto* form = new QFormLayout(&d);
    auto* gegenkonto = kontoAuswahl(sitzung(), &d);
    gegenkonto->setObjectName(QStringLiteral("gegenkonto"));
    auto* schluessel = new QComboBox(&d);
    schluessel->setObjectName(QStringLiteral("schluessel"));
    schluessel->addItem(QStringLiteral("wie am Konto vorgegeben"), -1);
    sitzung().lesen([&](DBConnection*) {
        for (const Kontoeditor::Schluesselzeile& s : Kontoeditor::schluesselliste())
            if (s.aktiv) schluessel->addItem(QStringLiteral("%1 %2").arg(s.schluessel).arg(s.bezeichnung), qlonglong(s.schluessel));
    });
    auto* text = new QLineEdit(&d);
    text->setObjectName(QStringLiteral("text"));
    form->addRow(QStringLiteral("&Gegenkonto:"), gegenkonto);
    form->addRow(QStringLiteral("&Steuerschlüssel:"), schluessel);
    form->addRow(QStringLiteral("Buchungs&text:"), text);
    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Buchen"));
    knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    form->addRow(knoepfe);
    connect(knoepfe, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    connect(knoepfe, &QDialogButtonBox::accepted, &d, [&] {
        Bank::Auftrag a;
        a.ids = ids;
        a.gegenkonto = gewaehltesKonto(gegenkonto);
        if (a.gegenkonto == 0) return meldeFehler(QStringLiteral("Bitte wählen Sie das Gegenkonto aus dem Kontenplan."));
        if (schluessel->currentData().toLongLong() >= 0) {
            a.steuerschluessel = schluessel->currentData().toULongLong();
            a.schluesselAngegeben = true;
        }
        a.text = text->text().trimmed();
        if (uebernimm(sitzung(), a)) d.accept();
    });
    d.exec();
    aktualisieren();
}

void BankAnsicht::zuordnen() {
    const QList<unsigned long> ids = auswahl();
    if (ids.size() != 1) return meldeHinweis(QStringLiteral("Bitte wählen Sie genau einen Umsatz aus."));
    QInputDialog frage(this);
    frage.setWindowTitle(QStringLiteral("Buchung zuordnen"));
    frage.setLabelText(QStringLiteral("Nummer der Buchung, die diesen Umsatz schon enthält:"));
    frage.setInputMode(QInputDialog::IntInput);
    frage.setIntRange(1, 2147483647);
    frage.setOkButtonText(QStringLiteral("Zuordnen"));
    frage.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (frage.exec() != QDialog::Accepted) return;
    const int buchung = frage.intValue();
    if (ausfuehren(sitzung(), [&](DBConnection* db, QString* fehler) { return Bank::zuordnen(db, ids.first(), buchung, fehler); }))
        meldeHinweis(QStringLiteral("Der Umsatz %1 ist jetzt der Buchung %2 zugeordnet.").arg(ids.first()).arg(buchung));
    aktualisieren();
}

void BankAnsicht::nichtVerarbeiten() {
    const QList<unsigned long> ids = auswahl();
    if (ids.isEmpty()) return;
    ausfuehren(sitzung(), [&](DBConnection* db, QString* fehler) { return Bank::nichtVerarbeiten(db, ids, fehler) > 0; });
    aktualisieren();
}

bool BankAnsicht::ueberweisen() { return ueberweisungErstellen(sitzung(), {}, this); }

void BankAnsicht::zuruecksetzen() {
    const QList<unsigned long> ids = auswahl();
    if (ids.isEmpty()) return;
    ausfuehren(sitzung(), [&](DBConnection* db, QString* fehler) { return Bank::zuruecksetzen(db, ids, fehler); });
    aktualisieren();
}

}  // namespace fenster
