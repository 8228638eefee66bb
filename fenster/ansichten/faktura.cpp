// The invoicing view and the document editor (see faktura.h).
#include "fenster/ansichten/faktura.h"

#include "fenster/ansichten/fakturabelege.h"
#include "fenster/ansichten/gemeinsam.h"
#include "fenster/sitzung.h"

#include "host/app/atomicfile.h"
#include "host/app/ui.h"
#include "kontbaum/faktura/mahnbrief.h"
#include "kontbaum/konten/kontoeditor.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QStackedWidget>
#include <QRadioButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace fenster {

using namespace gemeinsam;
using namespace Faktura;

namespace {
QPushButton* knopf(QWidget* eltern, QLayout* l, const char* name, const char* icon, QStyle::StandardPixmap ersatz, const QString& text) {
    auto* b = new QPushButton(gemeinsam::symbol(icon, ersatz), text, eltern);
    b->setObjectName(QLatin1String(name));
    l->addWidget(b);
    return b;
}

QDialogButtonBox* okAbbrechen(QDialog* d, const QString& ok) {
    auto* k = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    k->button(QDialogButtonBox::Ok)->setText(ok);
    k->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    QObject::connect(k, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return k;
}
}  // namespace

RechnungenAnsicht::RechnungenAnsicht(Sitzung& s, QWidget* eltern) : Ansicht(s, eltern) {
    auto* layout = new QVBoxLayout(this);
    m_reiter = new QTabWidget(this);
    layout->addWidget(m_reiter);

    // Invoices: the list beside the printed page of the selected one.
    auto* seite = new QWidget(m_reiter);
    auto* sl = new QVBoxLayout(seite);
    auto* knoepfe = new QHBoxLayout;
    connect(knopf(seite, knoepfe, "neu", "document-new", QStyle::SP_FileIcon, QStringLiteral("&Neue Rechnung …")), &QPushButton::clicked, this,
            &RechnungenAnsicht::neueRechnung);
    connect(knopf(seite, knoepfe, "bearbeiten", "document-edit", QStyle::SP_FileDialogDetailedView, QStringLiteral("&Bearbeiten …")),
            &QPushButton::clicked, this, &RechnungenAnsicht::bearbeiten);
    connect(knopf(seite, knoepfe, "pdf", "application-pdf", QStyle::SP_DialogSaveButton, QStringLiteral("&PDF …")), &QPushButton::clicked, this,
            [this] { pdfSpeichern(); });
    connect(knopf(seite, knoepfe, "drucken", "document-print", QStyle::SP_DialogSaveButton, QStringLiteral("&Drucken …")), &QPushButton::clicked,
            this, &RechnungenAnsicht::drucken);
    connect(knopf(seite, knoepfe, "xrechnung", "text-xml", QStyle::SP_DialogSaveButton, QStringLiteral("&XRechnung …")), &QPushButton::clicked,
            this, [this] { xrechnungSpeichern(); });
    connect(knopf(seite, knoepfe, "zahlung", "wallet-open", QStyle::SP_DialogApplyButton, QStringLiteral("&Zahlung buchen …")),
            &QPushButton::clicked, this, &RechnungenAnsicht::zahlungBuchen);
    connect(knopf(seite, knoepfe, "mahnen", "mail-send", QStyle::SP_MessageBoxWarning, QStringLiteral("&Mahnen")), &QPushButton::clicked, this,
            &RechnungenAnsicht::mahnen);
    connect(knopf(seite, knoepfe, "mahnbriefPdf", "application-pdf", QStyle::SP_DialogSaveButton, QStringLiteral("Mahnbrief &als PDF …")),
            &QPushButton::clicked, this, [this] { mahnbriefSpeichern(); });
    connect(knopf(seite, knoepfe, "mahnbriefDrucken", "document-print", QStyle::SP_DialogSaveButton, QStringLiteral("Mahnbrief dr&ucken …")),
            &QPushButton::clicked, this, &RechnungenAnsicht::mahnbriefDrucken);
    connect(knopf(seite, knoepfe, "korrektur", "edit-undo", QStyle::SP_ArrowBack, QStringLiteral("&Korrektur …")), &QPushButton::clicked, this,
            &RechnungenAnsicht::korrektur);
    knoepfe->addStretch();
    sl->addLayout(knoepfe);
    auto* teiler = new QSplitter(Qt::Horizontal, seite);
    m_rechnungen = neueTabelle(teiler);
    m_rechnungen->setObjectName(QStringLiteral("rechnungen"));
    m_rechnungsModell = new QStandardItemModel(this);
    m_rechnungen->setModel(m_rechnungsModell);
    m_rechts = new QStackedWidget(teiler);
    m_hinweis = new QTextBrowser(m_rechts);
    m_drucker = new QPrinter(QPrinter::HighResolution);
    m_seite = new QPrintPreviewWidget(m_drucker, m_rechts);
    m_seite->setObjectName(QStringLiteral("vorschau"));
    m_seite->setZoomMode(QPrintPreviewWidget::FitToWidth);
    m_rechts->addWidget(m_hinweis);
    m_rechts->addWidget(m_seite);
    teiler->addWidget(m_rechnungen);
    teiler->addWidget(m_rechts);
    teiler->setStretchFactor(0, 3);
    teiler->setStretchFactor(1, 2);
    sl->addWidget(teiler, 1);
    m_reiter->addTab(seite, QStringLiteral("&Rechnungen"));
    // The page is drawn by the library on the preview's printer: the same
    // layout the PDF has.
    connect(m_seite, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* p) {
        Beleg b;
        if (gewaehlt(&b)) sitzung().lesen([&](DBConnection* db) { belegDrucken(db, b, p); });
    });
    connect(m_rechnungen->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        m_rechts->setCurrentWidget(m_rechnungen->currentIndex().isValid() ? static_cast<QWidget*>(m_seite) : m_hinweis);
        m_seite->updatePreview();
    });
    connect(m_rechnungen, &QTableView::activated, this, &RechnungenAnsicht::bearbeiten);

    // The documents before the invoice, each in its tab; a taking over
    // shows the new document in its own list.
    const QStringList vorTitel{QStringLiteral("An&gebote"), QStringLiteral("Au&fträge"), QStringLiteral("&Lieferscheine")};
    for (Belegart art : {Belegart::Angebot, Belegart::Auftrag, Belegart::Lieferschein}) {
        auto* liste = new VorbelegListe(sitzung(), art, [this](Belegart ziel, const QString& nummer) {
            aktualisieren();
            if (ziel == Belegart::Rechnung) {
                m_reiter->setCurrentIndex(0);
                waehleRechnung(nummer);
                return;
            }
            for (VorbelegListe* l : m_vorbelege)
                if (l->art() == ziel) {
                    m_reiter->setCurrentWidget(l);
                    l->waehle(nummer);
                }
        }, m_reiter);
        liste->setObjectName(QLatin1String(art == Belegart::Angebot ? "angebote" : art == Belegart::Auftrag ? "auftraege" : "lieferscheine"));
        m_vorbelege << liste;
        m_reiter->addTab(liste, vorTitel[int(art)]);
    }

    // The reminders that are due: documents whose reminder date has come.
    auto* erinnerungen = new QWidget(m_reiter);
    auto* el = new QVBoxLayout(erinnerungen);
    auto* ek = new QHBoxLayout;
    connect(knopf(erinnerungen, ek, "erledigt", "task-complete", QStyle::SP_DialogApplyButton, QStringLiteral("Als erle&digt markieren")),
            &QPushButton::clicked, this, &RechnungenAnsicht::erinnerungenErledigt);
    ek->addStretch();
    el->addLayout(ek);
    m_erinnerungen = neueTabelle(erinnerungen);
    m_erinnerungen->setObjectName(QStringLiteral("erinnerungen"));
    m_erinnerungen->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_erinnerungsModell = new QStandardItemModel(this);
    m_erinnerungen->setModel(m_erinnerungsModell);
    el->addWidget(m_erinnerungen, 1);
    m_reiter->addTab(erinnerungen, QStringLiteral("Erinnerungen"));

    // Customers and articles.
    auto* kunden = new QWidget(m_reiter);
    auto* kl = new QVBoxLayout(kunden);
    auto* kk = new QHBoxLayout;
    connect(knopf(kunden, kk, "neuerKunde", "contact-new", QStyle::SP_FileIcon, QStringLiteral("Neuer &Kunde …")), &QPushButton::clicked, this,
            &RechnungenAnsicht::neuerKunde);
    kk->addStretch();
    kl->addLayout(kk);
    m_kunden = neueTabelle(kunden);
    m_kundenModell = new QStandardItemModel(this);
    m_kunden->setModel(m_kundenModell);
    m_kunden->setObjectName(QStringLiteral("kunden"));
    connect(m_kunden, &QTableView::activated, this, [this](const QModelIndex& i) {
        Person p;
        bool ok = false;
        sitzung().lesen([&](DBConnection* db) { ok = findePerson(db, m_kundenModell->item(i.row(), 0)->text(), &p); });
        if (ok) kundeDialog(p);
    });
    kl->addWidget(m_kunden, 1);
    m_reiter->addTab(kunden, QStringLiteral("&Kunden"));

    auto* artikel = new QWidget(m_reiter);
    auto* al = new QVBoxLayout(artikel);
    auto* ak = new QHBoxLayout;
    connect(knopf(artikel, ak, "neuerArtikel", "list-add", QStyle::SP_FileIcon, QStringLiteral("Neuer &Artikel …")), &QPushButton::clicked, this,
            &RechnungenAnsicht::neuerArtikel);
    ak->addStretch();
    al->addLayout(ak);
    m_artikel = neueTabelle(artikel);
    m_artikelModell = new QStandardItemModel(this);
    m_artikel->setModel(m_artikelModell);
    connect(m_artikel, &QTableView::activated, this, [this](const QModelIndex& i) {
        Artikel a;
        bool ok = false;
        sitzung().lesen([&](DBConnection* db) { ok = findeArtikel(db, m_artikelModell->item(i.row(), 0)->text(), &a); });
        if (ok) artikelDialog(a);
    });
    al->addWidget(m_artikel, 1);
    m_reiter->addTab(artikel, QStringLiteral("Ar&tikel"));
}

RechnungenAnsicht::~RechnungenAnsicht() {
    // The preview draws on the printer until it goes.
    delete m_seite;
    delete m_drucker;
}

QString RechnungenAnsicht::titel() const { return QStringLiteral("Rechnungen"); }
QIcon RechnungenAnsicht::symbol() const { return gemeinsam::symbol("x-office-document", QStyle::SP_FileIcon); }

void RechnungenAnsicht::aktualisieren() {
    const QString vorher = m_rechnungen->currentIndex().isValid()
                               ? m_rechnungsModell->item(m_rechnungen->currentIndex().row(), 0)->text()
                               : QString();
    koepfe(m_rechnungsModell, {QStringLiteral("Nummer"), QStringLiteral("Datum"), QStringLiteral("Kunde"), QStringLiteral("Netto"),
                               QStringLiteral("Steuer"), QStringLiteral("Endsumme"), QStringLiteral("Stand"), QStringLiteral("Mahnstufe")});
    koepfe(m_kundenModell, {QStringLiteral("Kundennummer"), QStringLiteral("Name"), QStringLiteral("Anschrift"), QStringLiteral("USt-IdNr."),
                            QStringLiteral("E-Mail")});
    koepfe(m_artikelModell, {QStringLiteral("Artikelnummer"), QStringLiteral("Bezeichnung"), QStringLiteral("Einheit"),
                             QStringLiteral("Preis netto"), QStringLiteral("Preis brutto"), QStringLiteral("Schlüssel"), QStringLiteral("Konto")});
    sitzung().lesen([&](DBConnection* db) {
        QHash<unsigned long, QString> namen;
        for (const Person& p : personen(db)) {
            namen.insert(p.personID, p.anzeigename());
            m_kundenModell->appendRow({textZelle(p.kundennummer), textZelle(p.anzeigename()),
                                       textZelle(QStringLiteral("%1, %2 %3").arg(p.strasse, p.plz, p.ort)), textZelle(p.ustid),
                                       textZelle(p.email)});
        }
        for (const Beleg& b : belege(db, Belegart::Rechnung)) {
            const Summen s = berechneSummen(db, b);
            QString stufe;
            for (const Mahnung& m : mahnungen(db, b.id)) stufe = stufeText(m.stufe);
            auto* nummer = textZelle(b.nummer);
            nummer->setData(qulonglong(b.id), Qt::UserRole);
            m_rechnungsModell->appendRow({nummer, datumZelle(b.datum), textZelle(namen.value(b.personID)), betragZelle(s.summeNetto + s.versandNetto),
                                          betragZelle(s.summeSteuer + s.versandSteuer), betragZelle(s.endsumme),
                                          textZelle(b.bezahlt.isValid() ? QStringLiteral("bezahlt am ") + b.bezahlt.getText()
                                                    : b.rechnungsart == 1 ? QStringLiteral("Korrektur")
                                                                          : QStringLiteral("offen")),
                                          textZelle(stufe)});
        }
        for (const Artikel& a : artikelListe(db))
            m_artikelModell->appendRow({textZelle(a.artikelnummer), textZelle(a.bezeichnung), textZelle(a.einheit), betragZelle(a.preis),
                                        betragZelle(a.bruttopreis), zahlZelle(a.steuerschluessel), zahlZelle(a.konto)});
    });
    koepfe(m_erinnerungsModell, {QStringLiteral("Fällig seit"), QStringLiteral("Erinnerung")});
    sitzung().lesen([&](DBConnection*) {
        QList<rsRebuErinnerung> liste;
        KontoGlobal::fillErinnerungen(liste);
        for (const rsRebuErinnerung& e : liste) {
            auto* datum = datumZelle(e.datum);
            // What marks it done is the document, not the row.
            datum->setData(qulonglong(e.id), Qt::UserRole + 1);
            datum->setData(qulonglong(e.art), Qt::UserRole + 2);
            m_erinnerungsModell->appendRow({datum, textZelle(e.text)});
        }
    });
    m_reiter->setTabText(m_reiter->indexOf(m_erinnerungen->parentWidget()),
                         m_erinnerungsModell->rowCount() ? QStringLiteral("&Erinnerungen (%1)").arg(m_erinnerungsModell->rowCount())
                                                         : QStringLiteral("&Erinnerungen"));
    for (VorbelegListe* l : m_vorbelege) l->aktualisieren();
    for (QTableView* t : {m_rechnungen, m_kunden, m_artikel, m_erinnerungen}) spaltenAnpassen(t);
    m_rechts->setCurrentWidget(m_hinweis);
    m_hinweis->clear();
    if (m_rechnungsModell->rowCount() == 0)
        m_hinweis->setHtml(QStringLiteral("<p>Noch keine Rechnung. Legen Sie im Reiter „Kunden“ den Kunden an (und unter „Artikel“ "
                                           "wiederkehrende Leistungen); „Neue Rechnung …“ schreibt dann die erste.</p><p>Die Firmendaten "
                                           "für den Rechnungskopf stehen unter Extras → Einstellungen und Firmendaten.</p>"));
    if (m_rechnungsModell->rowCount() > 0) waehleRechnung(vorher.isEmpty() ? m_rechnungsModell->item(m_rechnungsModell->rowCount() - 1, 0)->text() : vorher);
}

bool RechnungenAnsicht::waehleRechnung(const QString& nummer) {
    for (int i = 0; i < m_rechnungsModell->rowCount(); ++i)
        if (m_rechnungsModell->item(i, 0)->text() == nummer) {
            m_rechnungen->setCurrentIndex(m_rechnungsModell->index(i, 0));
            m_rechnungen->selectRow(i);
            return true;
        }
    return false;
}

bool RechnungenAnsicht::gewaehlt(Beleg* b) {
    const QModelIndex i = m_rechnungen->currentIndex();
    if (!i.isValid()) return false;
    const unsigned long id = m_rechnungsModell->item(i.row(), 0)->data(Qt::UserRole).toULongLong();
    bool ok = false;
    sitzung().lesen([&](DBConnection* db) { ok = leseBeleg(db, Belegart::Rechnung, id, b); });
    return ok;
}

void RechnungenAnsicht::neueRechnung() {
    Beleg b;
    b.art = Belegart::Rechnung;
    const int jahr = sitzung().steuerjahr();
    const QDate heute = QDate::currentDate();
    b.datum = zDate(heute.year() == jahr ? heute : QDate(jahr, 12, 31));
    BelegEditor e(sitzung(), b, this);
    if (e.exec() == QDialog::Accepted) {
        aktualisieren();
        waehleRechnung(e.beleg().nummer);
    }
}

void RechnungenAnsicht::bearbeiten() {
    Beleg b;
    if (!gewaehlt(&b)) return meldeHinweis(QStringLiteral("Bitte wählen Sie eine Rechnung aus."));
    BelegEditor e(sitzung(), b, this);
    if (e.exec() == QDialog::Accepted) aktualisieren();
}

bool RechnungenAnsicht::pdfSpeichern(const QString& ziel) {
    Beleg b;
    if (!gewaehlt(&b)) {
        meldeHinweis(QStringLiteral("Bitte wählen Sie eine Rechnung aus."));
        return false;
    }
    const QString pfad = !ziel.isEmpty() ? ziel
                                         : QFileDialog::getSaveFileName(this, QStringLiteral("Rechnung als PDF speichern"),
                                                                        QStringLiteral("Rechnung %1.pdf").arg(b.nummer).replace(QLatin1Char('/'), QLatin1Char('-')),
                                                                        QStringLiteral("PDF-Dateien (*.pdf)"));
    if (pfad.isEmpty()) return false;
    QByteArray pdf;
    QString e;
    bool ok = false;
    sitzung().lesen([&](DBConnection* db) { ok = belegPdf(db, b, &pdf, &e); });
    if (ok && rsWriteFileAtomic(pfad, pdf, &e)) {
        meldeHinweis(QStringLiteral("Die Rechnung %1 wurde als PDF mit eingebetteter E-Rechnung in der Datei %2 gespeichert.").arg(b.nummer, pfad));
        return true;
    }
    meldeFehler(e);
    return false;
}

bool RechnungenAnsicht::xrechnungSpeichern(const QString& ziel) {
    Beleg b;
    if (!gewaehlt(&b)) {
        meldeHinweis(QStringLiteral("Bitte wählen Sie eine Rechnung aus."));
        return false;
    }
    const QString pfad = !ziel.isEmpty() ? ziel
                                         : QFileDialog::getSaveFileName(this, QStringLiteral("XRechnung speichern"),
                                                                        QStringLiteral("Rechnung %1.xml").arg(b.nummer).replace(QLatin1Char('/'), QLatin1Char('-')),
                                                                        QStringLiteral("XML-Dateien (*.xml)"));
    if (pfad.isEmpty()) return false;
    QByteArray xml;
    QString e;
    sitzung().lesen([&](DBConnection* db) { xml = xrechnung(db, b, &e); });
    if (!xml.isEmpty() && rsWriteFileAtomic(pfad, xml, &e)) {
        meldeHinweis(QStringLiteral("Die XRechnung %1 wurde in der Datei %2 gespeichert.").arg(b.nummer, pfad));
        return true;
    }
    meldeFehler(e);
    return false;
}

void RechnungenAnsicht::drucken() {
    Beleg b;
    if (!gewaehlt(&b)) return meldeHinweis(QStringLiteral("Bitte wählen Sie eine Rechnung aus."));
    QPrintDialog d(m_drucker, this);
    d.setWindowTitle(QStringLiteral("%1 %2 drucken").arg(belegTitel(b), b.nummer));
    if (d.exec() != QDialog::Accepted) return;
    sitzung().lesen([&](DBConnection* db) { belegDrucken(db, b, m_drucker); });
}

void RechnungenAnsicht::zahlungBuchen() {
    Beleg b;
    if (!gewaehlt(&b)) return meldeHinweis(QStringLiteral("Bitte wählen Sie eine Rechnung aus."));
    if (b.bezahlt.isValid()) return meldeHinweis(QStringLiteral("Die Rechnung %1 ist bereits am %2 bezahlt.").arg(b.nummer, b.bezahlt.getText()));
    QDialog d(this);
    d.setWindowTitle(QStringLiteral("Zahlung der Rechnung %1 buchen").arg(b.nummer));
    auto* form = new QFormLayout(&d);
    auto* geldkonto = new QComboBox(&d);
    geldkonto->setObjectName(QStringLiteral("geldkonto"));
    EuroType endsumme;
    sitzung().lesen([&](DBConnection* db) {
        endsumme = berechneSummen(db, b).offen;
        for (const Kontoeditor::Kontozeile& k : Kontoeditor::kontenliste(false))
            if (k.kategorie >= 201 && k.kategorie <= 203)
                geldkonto->addItem(QStringLiteral("%1 %2").arg(k.nummer).arg(k.bezeichnung), qulonglong(k.nummer));
    });
    auto* datum = neuesDatum(&d, b.zahlungsziel.isValid() ? b.zahlungsziel.qdate() : b.datum.qdate());
    datum->setObjectName(QStringLiteral("datum"));
    auto* voll = new QRadioButton(QStringLiteral("&voller Betrag (%1 €)").arg(endsumme.getText()), &d);
    voll->setChecked(true);
    auto* skonto = new QRadioButton(QStringLiteral("mit &Skonto laut Zahlungsbedingung"), &d);
    auto* teil = new QRadioButton(QStringLiteral("erhaltener &Betrag:"), &d);
    auto* betrag = new QLineEdit(&d);
    betrag->setObjectName(QStringLiteral("betrag"));
    form->addRow(QStringLiteral("&Geldkonto:"), geldkonto);
    form->addRow(QStringLiteral("&Zahlungsdatum:"), datum);
    form->addRow(voll);
    form->addRow(skonto);
    form->addRow(teil, betrag);
    auto* k = okAbbrechen(&d, QStringLiteral("Buchen"));
    form->addRow(k);
    connect(k, &QDialogButtonBox::accepted, &d, [&] {
        Zahlungseingang z;
        z.geldkonto = geldkonto->currentData().toULongLong();
        z.datum = datumAus(datum);
        z.art = voll->isChecked() ? Zahlungseingang::Art::Voll : skonto->isChecked() ? Zahlungseingang::Art::VollerSkonto : Zahlungseingang::Art::Betrag;
        QString e;
        if (z.art == Zahlungseingang::Art::Betrag && !leseBetrag(betrag, QStringLiteral("Erhaltener Betrag"), &z.betrag, &e)) return meldeFehler(e);
        QList<unsigned long> gebucht;
        int skonti = 0;
        if (ausfuehren(sitzung(), [&](DBConnection* db, QString* fehler) { return bucheZahlungseingang(db, {b}, z, &gebucht, &skonti, fehler); })) {
            QStringList nr;
            for (unsigned long n : gebucht) nr << QString::number(n);
            meldeHinweis(QStringLiteral("Die Zahlung der Rechnung %1 ist gebucht (Buchung %2).").arg(b.nummer, nr.join(QStringLiteral(", "))));
            d.accept();
        }
    });
    d.exec();
    aktualisieren();
}

void RechnungenAnsicht::mahnen() {
    Beleg b;
    if (!gewaehlt(&b)) return meldeHinweis(QStringLiteral("Bitte wählen Sie eine Rechnung aus."));
    Mahnung m;
    m.rechnungsID = b.id;
    m.stufe = 0;  // the level after the last one; a fixed 1 would refuse every second letter
    unsigned long id = 0;
    if (ausfuehren(sitzung(), [&](DBConnection* db, QString* fehler) { return (id = neueMahnung(db, m, fehler)) != 0; })) {
        Mahnung neu;
        sitzung().lesen([&](DBConnection* db) {
            for (const Mahnung& x : mahnungen(db, b.id))
                if (x.id == id) neu = x;
        });
        meldeHinweis(QStringLiteral("Mahnung %1 (Stufe %2) zur Rechnung %3 angelegt; neues Zahlungsziel %4.")
                         .arg(neu.nummer, stufeText(neu.stufe), b.nummer, neu.zahlungsziel.getText()));
    }
    aktualisieren();
}

bool RechnungenAnsicht::letzteMahnung(Beleg* b, Mahnung* m) {
    if (!gewaehlt(b)) {
        meldeHinweis(QStringLiteral("Bitte wählen Sie eine Rechnung aus."));
        return false;
    }
    QList<Mahnung> liste;
    sitzung().lesen([&](DBConnection* db) { liste = mahnungen(db, b->id); });
    if (liste.isEmpty()) {
        meldeHinweis(QStringLiteral("Zur Rechnung %1 gibt es noch keine Mahnung. „Mahnen“ legt sie an.").arg(b->nummer));
        return false;
    }
    *m = liste.last();
    return true;
}

bool RechnungenAnsicht::mahnbriefSpeichern(const QString& ziel) {
    Beleg b;
    Mahnung m;
    if (!letzteMahnung(&b, &m)) return false;
    const QString pfad = !ziel.isEmpty() ? ziel
                                         : QFileDialog::getSaveFileName(this, QStringLiteral("Mahnung als PDF speichern"),
                                                                        QStringLiteral("Mahnung %1.pdf").arg(m.nummer).replace(QLatin1Char('/'), QLatin1Char('-')),
                                                                        QStringLiteral("PDF-Dateien (*.pdf)"));
    if (pfad.isEmpty()) return false;
    QByteArray pdf;
    QString e;
    bool ok = false;
    sitzung().lesen([&](DBConnection* db) { ok = mahnungPdf(db, m, &pdf, &e); });
    if (ok && rsWriteFileAtomic(pfad, pdf, &e)) {
        meldeHinweis(QStringLiteral("Die %1 %2 zur Rechnung %3 wurde in der Datei %4 gespeichert.").arg(mahnungTitel(m), m.nummer, b.nummer, pfad));
        return true;
    }
    meldeFehler(e);
    return false;
}

void RechnungenAnsicht::mahnbriefDrucken() {
    Beleg b;
    Mahnung m;
    if (!letzteMahnung(&b, &m)) return;
    if (b.bezahlt.isValid())
        return meldeHinweis(QStringLiteral("Die Rechnung %1 ist am %2 bezahlt; eine Mahnung geht nicht mehr hinaus.").arg(b.nummer, b.bezahlt.getText()));
    QPrintDialog d(m_drucker, this);
    d.setWindowTitle(QStringLiteral("%1 %2 drucken").arg(mahnungTitel(m), m.nummer));
    if (d.exec() != QDialog::Accepted) return;
    sitzung().lesen([&](DBConnection* db) { Faktura::mahnungDrucken(db, m, m_drucker); });
    // The preview shares the printer: it shows the invoice again.
    m_seite->updatePreview();
}

void RechnungenAnsicht::korrektur() {
    Beleg zu;
    if (!gewaehlt(&zu)) return meldeHinweis(QStringLiteral("Bitte wählen Sie die Rechnung aus, die Sie korrigieren wollen."));
    if (zu.rechnungsart == 1) return meldeHinweis(QStringLiteral("%1 ist selbst eine Rechnungskorrektur; bitte wählen Sie die Rechnung, die sie korrigiert.").arg(zu.nummer));
    Beleg b;
    b.art = Belegart::Rechnung;
    b.rechnungsart = 1;
    b.korrekturZu = zu.id;
    b.personID = zu.personID;
    b.zahlungsbedingungID = zu.zahlungsbedingungID;
    const int jahr = sitzung().steuerjahr();
    const QDate heute = QDate::currentDate();
    b.datum = zDate(heute.year() == jahr ? heute : QDate(jahr, 12, 31));
    BelegEditor e(sitzung(), b, this);
    if (e.exec() == QDialog::Accepted) {
        aktualisieren();
        waehleRechnung(e.beleg().nummer);
    }
}

void RechnungenAnsicht::erinnerungenErledigt() {
    QList<rsRebuErinnerung> weg;
    for (const QModelIndex& i : m_erinnerungen->selectionModel()->selectedRows()) {
        rsRebuErinnerung e;
        e.id = m_erinnerungsModell->item(i.row(), 0)->data(Qt::UserRole + 1).toULongLong();
        e.art = m_erinnerungsModell->item(i.row(), 0)->data(Qt::UserRole + 2).toULongLong();
        weg << e;  // no date: the reminder is gone, not moved
    }
    if (weg.isEmpty()) return meldeHinweis(QStringLiteral("Bitte wählen Sie die Erinnerungen aus, die erledigt sind."));
    if (ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) {
            if (KontoGlobal::delErinnerungen(weg) == weg.size()) return true;
            *fehler = QStringLiteral("Die Erinnerungen konnten nicht als erledigt markiert werden.");
            return false;
        }))
        aktualisieren();
}

void RechnungenAnsicht::neuerKunde() { kundeDialog(Person()); }

void RechnungenAnsicht::kundeDialog(Person p) {
    QDialog d(this);
    d.setWindowTitle(p.personID ? QStringLiteral("Kunde %1").arg(p.kundennummer) : QStringLiteral("Neuer Kunde"));
    auto* form = new QFormLayout(&d);
    QList<QLineEdit*> felder;
    const QStringList namen{QStringLiteral("&Firma:"), QStringLiteral("&Vorname:"), QStringLiteral("&Name:"), QStringLiteral("&Straße:"),
                            QStringLiteral("&PLZ:"), QStringLiteral("&Ort:"), QStringLiteral("&Land:"), QStringLiteral("&E-Mail:"),
                            QStringLiteral("&USt-IdNr.:"), QStringLiteral("Lei&tweg-ID:")};
    const char* const objekte[] = {"firma", "vorname", "name", "strasse", "plz", "ort", "land", "email", "ustid", "leitweg"};
    for (int i = 0; i < namen.size(); ++i) {
        felder << new QLineEdit(&d);
        felder.last()->setObjectName(QLatin1String(objekte[i]));
        form->addRow(namen[i], felder.last());
    }
    QString* const werte[] = {&p.firma, &p.vorname, &p.name, &p.strasse, &p.plz, &p.ort, &p.land, &p.email, &p.ustid, &p.leitweg};
    for (int i = 0; i < felder.size(); ++i) felder[i]->setText(*werte[i]);
    auto* k = okAbbrechen(&d, p.personID ? QStringLiteral("Speichern") : QStringLiteral("Anlegen"));
    form->addRow(k);
    connect(k, &QDialogButtonBox::accepted, &d, [&] {
        p.firma = felder[0]->text().trimmed();
        p.vorname = felder[1]->text().trimmed();
        p.name = felder[2]->text().trimmed();
        p.strasse = felder[3]->text().trimmed();
        p.plz = felder[4]->text().trimmed();
        p.ort = felder[5]->text().trimmed();
        p.land = felder[6]->text().trimmed().toUpper();
        p.email = felder[7]->text().trimmed();
        p.ustid = felder[8]->text().trimmed();
        p.leitweg = felder[9]->text().trimmed();
        if (p.name.isEmpty() && p.firma.isEmpty()) return meldeFehler(QStringLiteral("Bitte geben Sie den Namen oder die Firma des Kunden an."));
        if (ausfuehren(sitzung(), [&](DBConnection* db, QString* fehler) { return speicherePerson(db, p, fehler) != 0; })) d.accept();
    });
    if (d.exec() == QDialog::Accepted) aktualisieren();
}

void RechnungenAnsicht::neuerArtikel() { artikelDialog(Artikel()); }

void RechnungenAnsicht::artikelDialog(Artikel a) {
    QDialog d(this);
    d.setWindowTitle(a.artikelID ? QStringLiteral("Artikel %1").arg(a.artikelnummer) : QStringLiteral("Neuer Artikel"));
    auto* form = new QFormLayout(&d);
    auto* bezeichnung = new QLineEdit(a.bezeichnung, &d);
    bezeichnung->setObjectName(QStringLiteral("bezeichnung"));
    auto* einheit = new QLineEdit(a.einheit, &d);
    auto* preis = new QLineEdit(a.artikelID ? a.preis.getText(EuroType::TextOhneTausender) : QString(), &d);
    preis->setObjectName(QStringLiteral("preis"));
    auto* konto = kontoAuswahl(sitzung(), &d, 4000, 4999);
    konto->setObjectName(QStringLiteral("konto"));
    if (a.konto) konto->setCurrentIndex(konto->findData(qulonglong(a.konto)));
    form->addRow(QStringLiteral("&Bezeichnung:"), bezeichnung);
    form->addRow(QStringLiteral("&Einheit:"), einheit);
    form->addRow(QStringLiteral("&Preis netto:"), preis);
    form->addRow(QStringLiteral("Erlös&konto:"), konto);
    auto* k = okAbbrechen(&d, a.artikelID ? QStringLiteral("Speichern") : QStringLiteral("Anlegen"));
    form->addRow(k);
    connect(k, &QDialogButtonBox::accepted, &d, [&] {
        a.brutto = false;  // the net price is the one entered here
        a.bezeichnung = bezeichnung->text().trimmed();
        a.einheit = einheit->text().trimmed();
        a.konto = gewaehltesKonto(konto);
        QString e;
        if (!leseBetrag(preis, QStringLiteral("Preis"), &a.preis, &e)) return meldeFehler(e);
        if (ausfuehren(sitzung(), [&](DBConnection* db, QString* fehler) {
                // The revenue account brings its tax key, as in the booking form.
                for (const Kontoeditor::Kontozeile& z : Kontoeditor::kontenliste(QList<unsigned long>{a.konto})) a.steuerschluessel = z.steuerschluessel;
                return speichereArtikel(db, a, fehler) != 0;
            }))
            d.accept();
    });
    if (d.exec() == QDialog::Accepted) aktualisieren();
}

// --- the document editor ---------------------------------------------------------

namespace {
enum Spalte { SpBezeichnung, SpMenge, SpEinheit, SpPreis, SpSchluessel, SpKonto, SpBetrag, kSpalten };
}

BelegEditor::BelegEditor(Sitzung& sitzung, const Beleg& beleg, QWidget* eltern) : QDialog(eltern), m_sitzung(sitzung), m_beleg(beleg) {
    setWindowTitle(beleg.id                              ? QStringLiteral("%1 %2").arg(belegTitel(beleg), beleg.nummer)
                   : beleg.art == Belegart::Angebot      ? QStringLiteral("Neues Angebot")
                   : beleg.art == Belegart::Lieferschein ? QStringLiteral("Neuer Lieferschein")
                                                         : QStringLiteral("Neue %1").arg(belegTitel(beleg)));
    resize(1000, 700);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_kunde = new QComboBox(this);
    m_kunde->setObjectName(QStringLiteral("kunde"));
    m_datum = neuesDatum(this, beleg.datum.qdate());
    m_datum->setObjectName(QStringLiteral("datum"));
    m_lieferVon = neuesDatum(this, (beleg.zeitraumVon.isValid() ? beleg.zeitraumVon : beleg.datum).qdate());
    m_lieferBis = neuesDatum(this, (beleg.zeitraumBis.isValid() ? beleg.zeitraumBis : beleg.datum).qdate());
    auto* liefer = new QHBoxLayout;
    liefer->addWidget(m_lieferVon);
    liefer->addWidget(new QLabel(QStringLiteral("bis"), this));
    liefer->addWidget(m_lieferBis);
    liefer->addStretch();
    form->addRow(QStringLiteral("&Kunde:"), m_kunde);
    form->addRow(beleg.art == Belegart::Rechnung ? QStringLiteral("Rechnungs&datum:") : QStringLiteral("&Datum:"), m_datum);
    auto* lieferLabel = new QLabel(QStringLiteral("&Leistungszeitraum:"), this);
    lieferLabel->setBuddy(m_lieferVon);
    form->addRow(lieferLabel, liefer);
    layout->addLayout(form);

    auto* teiler = new QSplitter(Qt::Horizontal, this);
    auto* links = new QWidget(teiler);
    auto* ll = new QVBoxLayout(links);
    ll->setContentsMargins(0, 0, 0, 0);
    auto* pk = new QHBoxLayout;
    auto* neu = knopf(links, pk, "positionNeu", "list-add", QStyle::SP_FileIcon, QStringLiteral("&Position hinzufügen"));
    m_artikelWahl = new QComboBox(links);
    m_artikelWahl->setObjectName(QStringLiteral("artikel"));
    pk->addWidget(m_artikelWahl, 1);
    auto* einf = knopf(links, pk, "artikelEinfuegen", "insert-object", QStyle::SP_ArrowDown, QStringLiteral("Artikel &einfügen"));
    auto* weg = knopf(links, pk, "positionWeg", "list-remove", QStyle::SP_TrashIcon, QStringLiteral("Position &entfernen"));
    ll->addLayout(pk);
    m_positionen = new QTableWidget(0, kSpalten, links);
    m_positionen->setObjectName(QStringLiteral("positionen"));
    m_positionen->setHorizontalHeaderLabels({QStringLiteral("Bezeichnung"), QStringLiteral("Menge"), QStringLiteral("Einheit"),
                                             QStringLiteral("Preis netto"), QStringLiteral("Schlüssel"), QStringLiteral("Konto"),
                                             QStringLiteral("Betrag")});
    m_positionen->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_positionen->horizontalHeader()->setSectionResizeMode(SpBezeichnung, QHeaderView::Stretch);
    m_positionen->setTabKeyNavigation(true);
    ll->addWidget(m_positionen, 1);
    m_summen = new QLabel(links);
    m_summen->setObjectName(QStringLiteral("summen"));
    m_summen->setTextFormat(Qt::RichText);
    ll->addWidget(m_summen);
    m_drucker = new QPrinter(QPrinter::ScreenResolution);
    m_vorschau = new QPrintPreviewWidget(m_drucker, teiler);
    m_vorschau->setObjectName(QStringLiteral("vorschau"));
    m_vorschau->setZoomMode(QPrintPreviewWidget::FitToWidth);
    // The page as it will be printed, from what the form holds now.
    connect(m_vorschau, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* p) {
        Beleg b;
        QString e;
        if (ausFormular(&b, &e)) m_sitzung.lesen([&](DBConnection* db) { belegDrucken(db, b, p); });
    });
    teiler->addWidget(links);
    teiler->addWidget(m_vorschau);
    layout->addWidget(teiler, 1);
    auto* k = okAbbrechen(this, QStringLiteral("&Speichern"));
    connect(k, &QDialogButtonBox::accepted, this, &BelegEditor::accept);
    layout->addWidget(k);

    m_fuellt = true;
    m_sitzung.lesen([&](DBConnection* db) {
        for (const Person& p : personen(db)) m_kunde->addItem(QStringLiteral("%1 %2").arg(p.kundennummer, p.anzeigename()), qulonglong(p.personID));
        for (const Artikel& a : artikelListe(db))
            m_artikelWahl->addItem(QStringLiteral("%1 %2 (%3 €)").arg(a.artikelnummer, a.bezeichnung, a.preis.getText()), qulonglong(a.artikelID));
    });
    m_kunde->setCurrentIndex(qMax(0, m_kunde->findData(qulonglong(beleg.personID))));
    for (const Position& p : beleg.positionen) {
        const int r = m_positionen->rowCount();
        m_positionen->insertRow(r);
        const QStringList werte{p.bezeichnung, QString::number(p.menge).replace(QLatin1Char('.'), QLatin1Char(',')), p.einheit,
                                p.preis.getText(EuroType::TextOhneTausender), QString::number(p.steuerschluessel), QString::number(p.konto), QString()};
        for (int c = 0; c < kSpalten; ++c) m_positionen->setItem(r, c, new QTableWidgetItem(werte[c]));
        m_positionen->item(r, SpBetrag)->setFlags(Qt::ItemIsEnabled);
        m_positionen->item(r, SpBetrag)->setData(Qt::UserRole, qulonglong(p.artikelID));
    }
    m_fuellt = false;
    connect(neu, &QPushButton::clicked, this, &BelegEditor::positionHinzufuegen);
    connect(einf, &QPushButton::clicked, this, &BelegEditor::artikelEinfuegen);
    connect(weg, &QPushButton::clicked, this, &BelegEditor::positionEntfernen);
    connect(m_positionen, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* i) {
        if (m_fuellt) return;
        // A revenue account brings its tax key unless one was typed.
        if (i->column() == SpKonto && m_positionen->item(i->row(), SpSchluessel)->text().trimmed().isEmpty()) {
            m_sitzung.lesen([&](DBConnection*) {
                for (const Kontoeditor::Kontozeile& z : Kontoeditor::kontenliste(QList<unsigned long>{i->text().toULong()}))
                    m_positionen->item(i->row(), SpSchluessel)->setText(QString::number(z.steuerschluessel));
            });
        }
        neuBerechnen();
    });
    m_altesDatum = m_datum->date();
    connect(m_datum, &QDateEdit::dateChanged, this, [this](const QDate& neu) {
        for (QDateEdit* d : {m_lieferVon, m_lieferBis})
            if (d->date() == m_altesDatum) d->setDate(neu);
        m_altesDatum = neu;
        neuBerechnen();
    });
    connect(m_lieferVon, &QDateEdit::dateChanged, this, &BelegEditor::neuBerechnen);
    connect(m_lieferBis, &QDateEdit::dateChanged, this, &BelegEditor::neuBerechnen);
    connect(m_kunde, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &BelegEditor::neuBerechnen);
    setTabOrder(m_kunde, m_datum);
    setTabOrder(m_datum, m_lieferVon);
    setTabOrder(m_lieferVon, m_lieferBis);
    setTabOrder(m_lieferBis, m_positionen);
    m_kunde->setFocus();
    neuBerechnen();
}

BelegEditor::~BelegEditor() {
    delete m_vorschau;
    delete m_drucker;
}

void BelegEditor::positionHinzufuegen() {
    m_fuellt = true;
    const int r = m_positionen->rowCount();
    m_positionen->insertRow(r);
    const QStringList werte{QString(), QStringLiteral("1"), QStringLiteral("Stk"), QString(), QString(), QString(), QString()};
    for (int c = 0; c < kSpalten; ++c) m_positionen->setItem(r, c, new QTableWidgetItem(werte[c]));
    m_positionen->item(r, SpBetrag)->setFlags(Qt::ItemIsEnabled);
    m_fuellt = false;
    m_positionen->setCurrentCell(r, SpBezeichnung);
    m_positionen->setFocus();
}

void BelegEditor::artikelEinfuegen() {
    Artikel a;
    bool ok = false;
    m_sitzung.lesen([&](DBConnection* db) { ok = leseArtikel(db, m_artikelWahl->currentData().toULongLong(), &a); });
    if (!ok) return meldeHinweis(QStringLiteral("Bitte wählen Sie einen Artikel aus (Artikel legen Sie im Reiter „Artikel“ an)."));
    positionHinzufuegen();
    m_fuellt = true;
    const int r = m_positionen->rowCount() - 1;
    m_positionen->item(r, SpBezeichnung)->setText(a.bezeichnung);
    m_positionen->item(r, SpEinheit)->setText(a.einheit);
    m_positionen->item(r, SpPreis)->setText(a.preis.getText(EuroType::TextOhneTausender));
    m_positionen->item(r, SpSchluessel)->setText(QString::number(a.steuerschluessel));
    m_positionen->item(r, SpKonto)->setText(QString::number(a.konto));
    m_positionen->item(r, SpBetrag)->setData(Qt::UserRole, qulonglong(a.artikelID));
    m_fuellt = false;
    m_positionen->setCurrentCell(r, SpMenge);
    neuBerechnen();
}

void BelegEditor::positionEntfernen() {
    if (m_positionen->currentRow() < 0) return;
    m_positionen->removeRow(m_positionen->currentRow());
    neuBerechnen();
}

bool BelegEditor::ausFormular(Beleg* b, QString* fehler) const {
    *b = m_beleg;
    b->personID = m_kunde->currentData().toULongLong();
    b->datum = datumAus(m_datum);
    b->zeitraumVon = datumAus(m_lieferVon);
    b->zeitraumBis = datumAus(m_lieferBis);
    b->positionen.clear();
    for (int r = 0; r < m_positionen->rowCount(); ++r) {
        auto text = [&](int c) { return m_positionen->item(r, c) ? m_positionen->item(r, c)->text().trimmed() : QString(); };
        Position p;
        p.artikelID = m_positionen->item(r, SpBetrag)->data(Qt::UserRole).toULongLong();
        p.bezeichnung = text(SpBezeichnung);
        p.einheit = text(SpEinheit);
        bool ok = false;
        p.menge = QString(text(SpMenge)).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok) {
            *fehler = QStringLiteral("Position %1: „%2“ ist keine Menge.").arg(r + 1).arg(text(SpMenge));
            return false;
        }
        if (!EuroType::fromText(text(SpPreis), &p.preis)) {
            *fehler = QStringLiteral("Position %1: „%2“ ist kein Preis (z. B. 1.234,56).").arg(r + 1).arg(text(SpPreis));
            return false;
        }
        p.steuerschluessel = text(SpSchluessel).toULong();
        p.konto = text(SpKonto).toULong(&ok);
        if (!ok || p.konto == 0) {
            *fehler = QStringLiteral("Position %1: Bitte geben Sie das Erlöskonto an (z. B. 8400).").arg(r + 1);
            return false;
        }
        b->positionen << p;
    }
    return true;
}

void BelegEditor::neuBerechnen() {
    Beleg b;
    QString e;
    if (!ausFormular(&b, &e)) {
        m_summen->setText(e.toHtmlEscaped());
        return;
    }
    m_sitzung.lesen([&](DBConnection* db) {
        const Summen s = berechneSummen(db, b);
        m_fuellt = true;
        for (int r = 0; r < s.positionsbetrag.size() && r < m_positionen->rowCount(); ++r)
            m_positionen->item(r, SpBetrag)->setText(s.positionsbetrag[r].getText());
        m_fuellt = false;
        QString t = QStringLiteral("<table>");
        for (const Schluesselsumme& k : s.schluessel)
            t += QStringLiteral("<tr><td>%1 % USt (Schlüssel %2):</td><td align=right>netto %3 €</td><td align=right>USt %4 €</td><td "
                                "align=right>brutto %5 €</td></tr>")
                     .arg(QString::number(k.satz, 'g', 4).replace(QLatin1Char('.'), QLatin1Char(',')))
                     .arg(k.steuerschluessel)
                     .arg(k.netto.getText(), k.steuer.getText(), k.brutto.getText());
        t += QStringLiteral("<tr><td><b>Summe:</b></td><td align=right><b>%1 €</b></td><td align=right><b>%2 €</b></td><td "
                            "align=right><b>%3 €</b></td></tr></table>")
                 .arg(s.summeNetto.getText(), s.summeSteuer.getText(), s.endsumme.getText());
        m_summen->setText(t);
    });
    m_vorschau->updatePreview();
}

void BelegEditor::accept() {
    Beleg b;
    QString e;
    if (!ausFormular(&b, &e)) return meldeFehler(e);
    if (b.personID == 0) return meldeFehler(QStringLiteral("Bitte wählen Sie einen Kunden (Kunden legen Sie im Reiter „Kunden“ an)."));
    if (!ausfuehren(m_sitzung, [&](DBConnection* db, QString* fehler) { return speichereBeleg(db, &b, fehler); })) return;
    m_beleg = b;
    QDialog::accept();
}

}  // namespace fenster
