// The incoming e-invoices (see eingang.h).
#include "fenster/ansichten/eingang.h"

#include "fenster/ansichten/gemeinsam.h"
#include "fenster/ansichten/ueberweisung.h"
#include "fenster/sitzung.h"

#include "kontbaum/berichte/liste.h"
#include "kontbaum/eingang/eingang.h"
#include "kontbaum/konten/kontoeditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace fenster {

using namespace gemeinsam;

EingangAnsicht::EingangAnsicht(Sitzung& s, QWidget* eltern) : Ansicht(s, eltern) {
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    auto* kopf = new QHBoxLayout;
    auto* einlesen = new QPushButton(gemeinsam::symbol("document-open", QStyle::SP_DialogOpenButton), QStringLiteral("E-Rechnungen ein&lesen …"), this);
    einlesen->setObjectName(QStringLiteral("einlesen"));
    einlesen->setToolTip(QStringLiteral("XRechnung (CII oder UBL) oder ZUGFeRD-PDF; Dateien lassen sich auch auf die Liste ziehen."));
    auto* buchen = new QPushButton(gemeinsam::symbol("document-save", QStyle::SP_DialogApplyButton), QStringLiteral("&Buchen …"), this);
    buchen->setObjectName(QStringLiteral("buchen"));
    auto* ueberweisen = new QPushButton(gemeinsam::symbol("mail-send", QStyle::SP_ArrowRight), QStringLiteral("&Überweisung (SEPA) …"), this);
    ueberweisen->setObjectName(QStringLiteral("ueberweisen"));
    ueberweisen->setToolTip(QStringLiteral("Schreibt eine SEPA-Überweisung (pain.001) der angehakten offenen Rechnungen für das Online-Banking."));
    m_nurOffen = new QCheckBox(QStringLiteral("Nur &offene"), this);
    kopf->addWidget(einlesen);
    kopf->addWidget(buchen);
    kopf->addWidget(ueberweisen);
    kopf->addWidget(m_nurOffen);
    kopf->addStretch();
    layout->addLayout(kopf);
    auto* teiler = new QSplitter(Qt::Vertical, this);
    m_tabelle = neueTabelle(teiler);
    m_tabelle->setObjectName(QStringLiteral("eingangsrechnungen"));
    m_modell = new QStandardItemModel(this);
    m_tabelle->setModel(m_modell);
    m_darstellung = new QTextBrowser(teiler);
    m_darstellung->setObjectName(QStringLiteral("darstellung"));
    teiler->addWidget(m_tabelle);
    teiler->addWidget(m_darstellung);
    layout->addWidget(teiler, 1);
    connect(m_tabelle, &QTableView::activated, this, [this](const QModelIndex& i) {
        const unsigned long nr = m_buchungen.value(i.row());
        if (nr) emit zeigeBuchungen(eineBuchung(nr, QStringLiteral("Eingangsrechnung %1").arg(m_modell->item(i.row(), 2)->text())));
        else this->buchen();
    });
    connect(einlesen, &QPushButton::clicked, this, &EingangAnsicht::importDialog);
    connect(buchen, &QPushButton::clicked, this, &EingangAnsicht::buchen);
    connect(ueberweisen, &QPushButton::clicked, this, &EingangAnsicht::ueberweisen);
    connect(m_nurOffen, &QCheckBox::toggled, this, &EingangAnsicht::aktualisieren);
    connect(m_tabelle->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        const unsigned long id = gewaehlt();
        QString text, e;
        bool ok = false;
        if (id) sitzung().lesen([&](DBConnection* db) { ok = Eingang::darstellung(db, id, &text, &e); });
        m_darstellung->setPlainText(ok ? text : e);
    });
}

QString EingangAnsicht::titel() const { return QStringLiteral("Eingangsrechnungen"); }
QIcon EingangAnsicht::symbol() const { return gemeinsam::symbol("mail-receive", QStyle::SP_ArrowDown); }

void EingangAnsicht::aktualisieren() {
    m_buchungen.clear();
    sitzung().lesen([&](DBConnection* db) {
        const QList<Eingang::Gespeichert> l = Eingang::liste(db, m_nurOffen->isChecked());
        for (const Eingang::Gespeichert& g : l) m_buchungen << g.buchungsnummer;
        zeigeListe(Eingang::alsListe(l, m_nurOffen->isChecked()), m_modell);
    });
    spaltenAnpassen(m_tabelle);
}

unsigned long EingangAnsicht::gewaehlt() const {
    const QModelIndex i = m_tabelle->currentIndex();
    return i.isValid() ? m_modell->item(i.row(), 0)->data(Qt::UserRole).toULongLong() : 0;
}

bool EingangAnsicht::importiere(const QStringList& pfade) {
    QList<Eingang::Importdatei> dateien;
    for (const QString& p : pfade) {
        QFile f(p);
        if (!f.open(QIODevice::ReadOnly)) {
            meldeFehler(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden. Es wurde nichts gespeichert.").arg(p));
            return false;
        }
        dateien << Eingang::Importdatei{QFileInfo(p).fileName(), f.readAll()};
    }
    Eingang::Importergebnis r;
    const bool ok = ausfuehren(sitzung(), [&](DBConnection* db, QString* fehler) { return Eingang::importiere(db, dateien, &r, fehler); });
    if (ok) {
        QString t = QStringLiteral("%1 Eingangsrechnung(en) gespeichert.").arg(r.neu.size());
        for (const QString& d : r.doppelt) t += QStringLiteral("<br>") + d.toHtmlEscaped();
        meldeHinweis(t);
    }
    aktualisieren();
    return ok;
}

void EingangAnsicht::importDialog() {
    const QStringList pfade = QFileDialog::getOpenFileNames(this, QStringLiteral("E-Rechnungen einlesen"), QString(),
                                                            QStringLiteral("E-Rechnungen (*.xml *.pdf);;Alle Dateien (*)"));
    if (!pfade.isEmpty()) importiere(pfade);
}

void EingangAnsicht::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void EingangAnsicht::dropEvent(QDropEvent* e) {
    QStringList pfade;
    for (const QUrl& u : e->mimeData()->urls())
        if (u.isLocalFile()) pfade << u.toLocalFile();
    if (!pfade.isEmpty()) importiere(pfade);
    e->acceptProposedAction();
}

bool EingangAnsicht::ueberweisen() {
    const unsigned long id = gewaehlt();
    return ueberweisungErstellen(sitzung(), id ? QList<unsigned long>{id} : QList<unsigned long>(), this);
}

void EingangAnsicht::buchen() {
    const unsigned long id = gewaehlt();
    if (!id) return meldeHinweis(QStringLiteral("Bitte wählen Sie eine Eingangsrechnung aus."));
    Eingang::Gespeichert g;
    QString e;
    bool ok = false;
    sitzung().lesen([&](DBConnection* db) { ok = Eingang::lese(db, id, &g, &e); });
    if (!ok) return meldeFehler(e);
    if (!g.offen()) return meldeHinweis(QStringLiteral("Die Eingangsrechnung ist bereits gebucht (Buchung %1).").arg(g.buchungsnummer));
    QDialog d(this);
    d.setWindowTitle(QStringLiteral("Eingangsrechnung %1 buchen").arg(g.nummer));
    auto* form = new QFormLayout(&d);
    auto* konto = kontoAuswahl(sitzung(), &d, 5000, 6999);
    konto->setObjectName(QStringLiteral("konto"));
    if (g.konto) konto->setCurrentIndex(qMax(0, konto->findData(qulonglong(g.konto))));
    auto* geld = new QComboBox(&d);
    geld->setObjectName(QStringLiteral("geldkonto"));
    geld->addItem(QStringLiteral("erst bei Zahlung (Bankabgleich)"), 0);
    sitzung().lesen([&](DBConnection*) {
        for (const Kontoeditor::Kontozeile& k : Kontoeditor::kontenliste(false))
            if (k.kategorie >= 201 && k.kategorie <= 203) geld->addItem(QStringLiteral("%1 %2").arg(k.nummer).arg(k.bezeichnung), qulonglong(k.nummer));
    });
    auto* datum = neuesDatum(&d, (g.faellig.isValid() ? g.faellig : g.datum).qdate());
    form->addRow(QStringLiteral("&Aufwandskonto:"), konto);
    form->addRow(QStringLiteral("Bezahlt &von:"), geld);
    form->addRow(QStringLiteral("&Zahlungsdatum:"), datum);
    auto* k = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    k->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Buchen"));
    k->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(k, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    form->addRow(k);
    connect(k, &QDialogButtonBox::accepted, &d, [&] {
        Eingang::Buchungsauftrag a;
        a.konto = gewaehltesKonto(konto);
        a.geldkonto = geld->currentData().toULongLong();
        a.datum = datumAus(datum);
        unsigned long nr = 0;
        if (!ausfuehren(sitzung(), [&](DBConnection* db, QString* fehler) {
                nr = Eingang::buche(db, id, a, fehler);
                return nr != 0 || fehler->isEmpty();
            }))
            return;
        meldeHinweis(nr ? QStringLiteral("Die Eingangsrechnung ist als Buchung %1 gebucht.").arg(nr)
                        : QStringLiteral("Die Eingangsrechnung wird gebucht, sobald ihre Zahlung aus dem Kontoauszug übernommen wird."));
        d.accept();
    });
    d.exec();
    aktualisieren();
}

}  // namespace fenster
