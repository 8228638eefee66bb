// The tabs of offers, order confirmations and delivery notes (see
// fakturabelege.h).
#include "fenster/ansichten/fakturabelege.h"

#include "fenster/ansichten/faktura.h"
#include "fenster/ansichten/gemeinsam.h"
#include "fenster/sitzung.h"

#include "host/app/atomicfile.h"
#include "host/app/ui.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace fenster {

using namespace gemeinsam;
using namespace Faktura;

namespace {
// "Neues Angebot", "Neue Auftragsbestätigung", "Neuer Lieferschein".
QString neuText(Belegart art) {
    return art == Belegart::Angebot ? QStringLiteral("&Neues Angebot …")
           : art == Belegart::Auftrag ? QStringLiteral("&Neue Auftragsbestätigung …")
                                      : QStringLiteral("&Neuer Lieferschein …");
}
}  // namespace

VorbelegListe::VorbelegListe(Sitzung& s, Belegart art, std::function<void(Belegart, const QString&)> uebernommen, QWidget* eltern)
    : QWidget(eltern), m_sitzung(s), m_art(art), m_uebernommen(std::move(uebernommen)) {
    auto* l = new QVBoxLayout(this);
    auto* knoepfe = new QHBoxLayout;
    auto knopf = [&](const char* name, const char* icon, QStyle::StandardPixmap ersatz, const QString& text) {
        auto* b = new QPushButton(gemeinsam::symbol(icon, ersatz), text, this);
        b->setObjectName(QLatin1String(name));
        knoepfe->addWidget(b);
        return b;
    };
    connect(knopf("belegNeu", "document-new", QStyle::SP_FileIcon, neuText(art)), &QPushButton::clicked, this, &VorbelegListe::neu);
    connect(knopf("belegBearbeiten", "document-edit", QStyle::SP_FileDialogDetailedView, QStringLiteral("&Bearbeiten …")), &QPushButton::clicked, this,
            &VorbelegListe::bearbeiten);
    connect(knopf("belegPdf", "application-pdf", QStyle::SP_DialogSaveButton, QStringLiteral("&PDF …")), &QPushButton::clicked, this,
            [this] { pdfSpeichern(); });
    connect(knopf("belegLoeschen", "edit-delete", QStyle::SP_TrashIcon, QStringLiteral("Lösc&hen")), &QPushButton::clicked, this,
            &VorbelegListe::loeschen);
    // Only the later kinds of the chain are offered as targets.
    if (art == Belegart::Angebot)
        connect(knopf("alsAuftrag", "go-next", QStyle::SP_ArrowForward, QStringLiteral("&Als Auftrag übernehmen")), &QPushButton::clicked, this,
                [this] { uebernehmen(Belegart::Auftrag); });
    if (art != Belegart::Lieferschein)
        connect(knopf("alsLieferschein", "go-next", QStyle::SP_ArrowForward, QStringLiteral("Al&s Lieferschein übernehmen")), &QPushButton::clicked,
                this, [this] { uebernehmen(Belegart::Lieferschein); });
    connect(knopf("alsRechnung", "go-next", QStyle::SP_ArrowForward, QStringLiteral("Als Rechn&ung übernehmen")), &QPushButton::clicked, this,
            [this] { uebernehmen(Belegart::Rechnung); });
    knoepfe->addStretch();
    l->addLayout(knoepfe);
    m_tabelle = neueTabelle(this);
    m_tabelle->setObjectName(QStringLiteral("belege"));
    m_modell = new QStandardItemModel(this);
    m_tabelle->setModel(m_modell);
    connect(m_tabelle, &QTableView::activated, this, &VorbelegListe::bearbeiten);
    auto* entf = new QShortcut(QKeySequence::Delete, m_tabelle, nullptr, nullptr, Qt::WidgetShortcut);
    connect(entf, &QShortcut::activated, this, &VorbelegListe::loeschen);
    l->addWidget(m_tabelle, 1);
}

void VorbelegListe::aktualisieren() {
    const bool mitPreisen = m_art != Belegart::Lieferschein;
    QStringList koepfeListe{QStringLiteral("Nummer"), QStringLiteral("Datum"), QStringLiteral("Kunde")};
    if (mitPreisen) koepfeListe << QStringLiteral("Netto") << QStringLiteral("Steuer") << QStringLiteral("Endsumme");
    koepfeListe << QStringLiteral("Positionen");
    koepfe(m_modell, koepfeListe);
    m_sitzung.lesen([&](DBConnection* db) {
        QHash<unsigned long, QString> namen;
        for (const Person& p : personen(db)) namen.insert(p.personID, p.anzeigename());
        for (const Beleg& b : belege(db, m_art)) {
            auto* nummer = textZelle(b.nummer);
            nummer->setData(qulonglong(b.id), Qt::UserRole);
            QList<QStandardItem*> zeile{nummer, datumZelle(b.datum), textZelle(namen.value(b.personID))};
            if (mitPreisen) {
                const Summen s = berechneSummen(db, b);
                zeile << betragZelle(s.summeNetto + s.versandNetto) << betragZelle(s.summeSteuer + s.versandSteuer) << betragZelle(s.endsumme);
            }
            zeile << zahlZelle(b.positionen.size());
            m_modell->appendRow(zeile);
        }
    });
    spaltenAnpassen(m_tabelle);
}

bool VorbelegListe::waehle(const QString& nummer) {
    for (int i = 0; i < m_modell->rowCount(); ++i)
        if (m_modell->item(i, 0)->text() == nummer) {
            m_tabelle->setCurrentIndex(m_modell->index(i, 0));
            m_tabelle->selectRow(i);
            return true;
        }
    return false;
}

bool VorbelegListe::gewaehlt(Beleg* b) {
    const QModelIndex i = m_tabelle->currentIndex();
    bool ok = false;
    if (i.isValid()) {
        const unsigned long id = m_modell->item(i.row(), 0)->data(Qt::UserRole).toULongLong();
        m_sitzung.lesen([&](DBConnection* db) { ok = leseBeleg(db, m_art, id, b); });
    }
    if (!ok) meldeHinweis(QStringLiteral("Bitte wählen Sie einen Beleg (%1) aus.").arg(bezeichnung(m_art)));
    return ok;
}

void VorbelegListe::neu() {
    Beleg b;
    b.art = m_art;
    const int jahr = m_sitzung.steuerjahr();
    const QDate heute = QDate::currentDate();
    b.datum = zDate(heute.year() == jahr ? heute : QDate(jahr, 12, 31));
    BelegEditor e(m_sitzung, b, this);
    if (e.exec() != QDialog::Accepted) return;
    aktualisieren();
    waehle(e.beleg().nummer);
}

void VorbelegListe::bearbeiten() {
    Beleg b;
    if (!gewaehlt(&b)) return;
    BelegEditor e(m_sitzung, b, this);
    if (e.exec() == QDialog::Accepted) aktualisieren();
    waehle(b.nummer);
}

bool VorbelegListe::pdfSpeichern(const QString& ziel) {
    Beleg b;
    if (!gewaehlt(&b)) return false;
    const QString pfad = !ziel.isEmpty() ? ziel
                                         : QFileDialog::getSaveFileName(this, QStringLiteral("%1 als PDF speichern").arg(bezeichnung(m_art)),
                                                                        QStringLiteral("%1 %2.pdf").arg(bezeichnung(m_art), b.nummer).replace(QLatin1Char('/'), QLatin1Char('-')),
                                                                        QStringLiteral("PDF-Dateien (*.pdf)"));
    if (pfad.isEmpty()) return false;
    QByteArray pdf;
    QString e;
    bool ok = false;
    m_sitzung.lesen([&](DBConnection* db) { ok = belegPdf(db, b, &pdf, &e); });
    if (ok && rsWriteFileAtomic(pfad, pdf, &e)) {
        meldeHinweis(QStringLiteral("%1 %2 wurde als PDF in der Datei %3 gespeichert.").arg(bezeichnung(m_art), b.nummer, pfad));
        return true;
    }
    meldeFehler(e);
    return false;
}

bool VorbelegListe::loeschen() {
    Beleg b;
    if (!gewaehlt(&b)) return false;
    // Asked before the action, so that no lock is held while the user thinks.
    if (!GetUi().frage(QStringLiteral("%1 %2 löschen? Der Beleg wird mit seinen Positionen entfernt.").arg(bezeichnung(m_art), b.nummer),
                       QStringLiteral("Löschen")))
        return false;
    const bool ok = ausfuehren(m_sitzung, [&](DBConnection* db, QString* fehler) { return loescheBeleg(db, m_art, b.id, fehler); });
    aktualisieren();
    return ok;
}

QString VorbelegListe::uebernehmen(Belegart ziel) {
    Beleg b;
    if (!gewaehlt(&b)) return QString();
    QString nummer;
    if (!ausfuehren(m_sitzung, [&](DBConnection* db, QString* fehler) {
            const unsigned long id = belegUebernehmen(db, b, ziel, zDate(), fehler);
            Beleg neu;
            if (!id || !leseBeleg(db, ziel, id, &neu)) return false;
            nummer = neu.nummer;
            return true;
        }))
        return QString();
    meldeHinweis(QStringLiteral("%1 %2 wurde als %3 %4 übernommen.").arg(bezeichnung(m_art), b.nummer, bezeichnung(ziel), nummer));
    if (m_uebernommen) m_uebernommen(ziel, nummer);
    return nummer;
}

}  // namespace fenster
