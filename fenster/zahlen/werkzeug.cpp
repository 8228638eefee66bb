// The period choice, the list model and print/export of the figure views.
#include "fenster/zahlen/werkzeug.h"

#include "host/app/atomicfile.h"
#include "host/app/ui.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextDocument>

namespace fenster {

namespace {
const char* const kMonate[] = {"Januar", "Februar", "März", "April", "Mai", "Juni",
                               "Juli", "August", "September", "Oktober", "November", "Dezember"};
constexpr int kJahr = 16, kFrei = 17;
}  // namespace

QIcon symbolAus(const char* name, QStyle::StandardPixmap standard) {
    return QIcon::fromTheme(QLatin1String(name), QApplication::style()->standardIcon(standard));
}

// --- period ---------------------------------------------------------------------------------

ZeitraumWahl::ZeitraumWahl(bool frei, QWidget* eltern) : QWidget(eltern) {
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    auto* l = new QLabel(QStringLiteral("&Zeitraum:"), this);
    m_art = new QComboBox(this);
    l->setBuddy(m_art);
    for (const char* m : kMonate) m_art->addItem(QString::fromUtf8(m));
    for (int q = 1; q <= 4; ++q) m_art->addItem(QStringLiteral("%1. Quartal").arg(q));
    m_art->addItem(QStringLiteral("ganzes Jahr"));
    if (frei) m_art->addItem(QStringLiteral("von … bis …"));
    m_art->setCurrentIndex(kJahr);
    m_von = new QDateEdit(this);
    m_bis = new QDateEdit(this);
    for (QDateEdit* d : {m_von, m_bis}) {
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        d->setCalendarPopup(true);
        d->setVisible(false);
    }
    m_von->setToolTip(QStringLiteral("erster Tag"));
    m_bis->setToolTip(QStringLiteral("letzter Tag"));
    h->addWidget(l);
    h->addWidget(m_art);
    h->addWidget(m_von);
    h->addWidget(m_bis);
    h->addStretch();
    connect(m_art, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        anzeigen();
        emit geaendert();
    });
    connect(m_von, &QDateEdit::dateChanged, this, &ZeitraumWahl::geaendert);
    connect(m_bis, &QDateEdit::dateChanged, this, &ZeitraumWahl::geaendert);
}

void ZeitraumWahl::anzeigen() {
    const bool frei = m_art->currentIndex() == kFrei;
    m_von->setVisible(frei);
    m_bis->setVisible(frei);
}

void ZeitraumWahl::setJahr(int jahr) {
    if (jahr == m_jahr) return;
    m_jahr = jahr;
    const QSignalBlocker b1(m_von), b2(m_bis);
    for (QDateEdit* d : {m_von, m_bis}) d->setDateRange(QDate(jahr, 1, 1), QDate(jahr, 12, 31));
    m_von->setDate(QDate(jahr, 1, 1));
    m_bis->setDate(QDate(jahr, 12, 31));
}

void ZeitraumWahl::setPeriode(const UStVA::Periode& p) {
    m_art->setCurrentIndex(p.art == 1 ? p.monat : p.art == 2 ? 12 + p.quartal : kJahr);
}

UStVA::Periode ZeitraumWahl::periode() const {
    const int i = m_art->currentIndex();
    if (i < 12) return UStVA::Periode::ausMonat(i);
    if (i < 16) return UStVA::Periode::ausQuartal(i - 12);
    return UStVA::Periode::jahr();
}

BerichtZeitraum ZeitraumWahl::zeitraum() const {
    BerichtZeitraum z;
    const UStVA::Periode p = periode();
    z.art = m_art->currentIndex() == kFrei ? 4 : p.art;
    z.monat = p.monat;
    z.quartal = p.quartal;
    z.frei = rsPeriod(von(), bis());
    return z;
}

zDate ZeitraumWahl::von() const {
    const int i = m_art->currentIndex();
    if (i == kFrei) return zDate(m_von->date());
    if (i < 12) return zDate(m_jahr, i + 1, 1);
    if (i < 16) return zDate(m_jahr, 3 * (i - 12) + 1, 1);
    return zDate(m_jahr, 1, 1);
}

zDate ZeitraumWahl::bis() const {
    const int i = m_art->currentIndex();
    if (i == kFrei) return zDate(m_bis->date());
    if (i < 12) return zDate(m_jahr, i + 1, 1).addMonths(1).addDays(-1);
    if (i < 16) return zDate(m_jahr, 3 * (i - 12) + 1, 1).addMonths(3).addDays(-1);
    return zDate(m_jahr, 12, 31);
}

QString ZeitraumWahl::text() const {
    if (m_art->currentIndex() == kFrei) return von().getText() + QStringLiteral(" bis ") + bis().getText();
    return periode().text(m_jahr);
}

// --- list model -----------------------------------------------------------------------------

void ListenModell::setListe(const BerichtListe& l) {
    beginResetModel();
    m_liste = l;
    endResetModel();
}

int ListenModell::spalte(const QString& schluessel) const {
    for (int i = 0; i < m_liste.spalten.size(); ++i)
        if (m_liste.spalten[i].schluessel == schluessel) return i;
    return -1;
}

QVariant ListenModell::wert(int zeile, int spalte) const {
    if (zeile < 0 || zeile >= m_liste.zeilen.size()) return QVariant();
    return m_liste.zeilen[zeile].werte.value(spalte);
}

bool ListenModell::istSumme(int zeile) const { return zeile >= 0 && zeile < m_liste.zeilen.size() && m_liste.zeilen[zeile].summe; }

int ListenModell::rowCount(const QModelIndex& p) const { return p.isValid() ? 0 : m_liste.zeilen.size(); }

int ListenModell::columnCount(const QModelIndex& p) const { return p.isValid() ? 0 : m_liste.spalten.size(); }

QVariant ListenModell::data(const QModelIndex& i, int rolle) const {
    if (!i.isValid() || i.row() >= m_liste.zeilen.size() || i.column() >= m_liste.spalten.size()) return QVariant();
    const BerichtListe::Zeile& z = m_liste.zeilen[i.row()];
    const BerichtSpalte::Art art = m_liste.spalten[i.column()].art;
    switch (rolle) {
    case Qt::DisplayRole:
        return m_liste.zelle(z, i.column());
    case Qt::ToolTipRole:
        return art == BerichtSpalte::Text ? m_liste.zelle(z, i.column()) : QVariant();
    case Qt::TextAlignmentRole:
        return int((art == BerichtSpalte::Betrag || art == BerichtSpalte::Zahl ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    case Qt::FontRole:
        if (z.summe) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return QVariant();
    case Qt::UserRole:
        return z.werte.value(i.column());
    default:
        return QVariant();
    }
}

QVariant ListenModell::headerData(int s, Qt::Orientation o, int rolle) const {
    if (o == Qt::Horizontal && rolle == Qt::DisplayRole && s < m_liste.spalten.size()) return m_liste.spalten[s].kopf;
    if (o == Qt::Horizontal && rolle == Qt::TextAlignmentRole && s < m_liste.spalten.size()) {
        const BerichtSpalte::Art art = m_liste.spalten[s].art;
        return int((art == BerichtSpalte::Betrag || art == BerichtSpalte::Zahl ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    return QAbstractTableModel::headerData(s, o, rolle);
}

// --- print and export -----------------------------------------------------------------------

namespace Ausgabe {

bool csvSchreiben(const BerichtListe& l, const QString& pfad, QString* fehler) {
    return rsWriteFileAtomic(pfad, l.csv().toUtf8(), fehler);
}

bool pdfSchreiben(const BerichtListe& l, const QString& firma, const QString& pfad, QString* fehler) {
    QByteArray pdf;
    if (!l.pdf(firma, &pdf, fehler)) return false;
    return rsWriteFileAtomic(pfad, pdf, fehler);
}

void drucken(QWidget* eltern, const BerichtListe& l, const QString& firma) {
    QPrinter drucker(QPrinter::HighResolution);
    drucker.setPageOrientation(QPageLayout::Landscape);
    drucker.setDocName(l.titel);
    QPrintDialog dialog(&drucker, eltern);
    dialog.setWindowTitle(QStringLiteral("%1 drucken").arg(l.titel));
    if (dialog.exec() != QDialog::Accepted) return;
    QTextDocument doc;
    doc.setHtml(l.html(firma));
    doc.print(&drucker);
}

QString dateiname(const BerichtListe& l, const QString& endung) {
    QString n = l.titel;
    n.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("-"));
    return n.simplified() + QLatin1Char('.') + endung;
}

}  // namespace Ausgabe

AusgabeLeiste::AusgabeLeiste(std::function<BerichtListe()> liste, std::function<QString()> firma, QWidget* eltern)
    : QWidget(eltern), m_liste(std::move(liste)), m_firma(std::move(firma)) {
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    m_drucken = new QPushButton(symbolAus("document-print", QStyle::SP_FileDialogDetailedView), QStringLiteral("&Drucken …"), this);
    auto* pdf = new QPushButton(symbolAus("application-pdf", QStyle::SP_FileIcon), QStringLiteral("Als &PDF …"), this);
    auto* csv = new QPushButton(symbolAus("x-office-spreadsheet", QStyle::SP_FileIcon), QStringLiteral("Als &CSV …"), this);
    m_drucken->setToolTip(QStringLiteral("Die Liste so drucken, wie sie hier steht"));
    pdf->setToolTip(QStringLiteral("Die Liste als PDF-Datei speichern (A4 quer, wie „--pdf“ des Befehls)"));
    csv->setToolTip(QStringLiteral("Die Liste für die Tabellenkalkulation speichern (Semikolon, Dezimalkomma)"));
    h->addWidget(m_drucken);
    h->addWidget(pdf);
    h->addWidget(csv);
    connect(m_drucken, &QPushButton::clicked, this, [this] { Ausgabe::drucken(window(), m_liste(), m_firma()); });
    connect(pdf, &QPushButton::clicked, this, [this] { speichern(true); });
    connect(csv, &QPushButton::clicked, this, [this] { speichern(false); });
}

void AusgabeLeiste::speichern(bool pdf) {
    const BerichtListe l = m_liste();
    const QString endung = pdf ? QStringLiteral("pdf") : QStringLiteral("csv");
    const QString ordner = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString pfad = QFileDialog::getSaveFileName(window(), pdf ? QStringLiteral("Als PDF speichern") : QStringLiteral("Als CSV speichern"),
                                                      ordner + QLatin1Char('/') + Ausgabe::dateiname(l, endung),
                                                      pdf ? QStringLiteral("PDF-Dateien (*.pdf)") : QStringLiteral("CSV-Dateien (*.csv)"));
    if (pfad.isEmpty()) return;
    QString fehler;
    const bool ok = pdf ? Ausgabe::pdfSchreiben(l, m_firma(), pfad, &fehler) : Ausgabe::csvSchreiben(l, pfad, &fehler);
    if (!ok) Ui::current()->rsError(QStringLiteral("Die Datei „%1“ wurde nicht gespeichert: %2").arg(pfad, fehler));
}

}  // namespace fenster
