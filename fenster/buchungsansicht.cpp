// The ledger view (see buchungsansicht.h).
#include "fenster/buchungsansicht.h"

#include "fenster/sitzung.h"
#include "host/app/ui.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QShortcut>
#include <QVBoxLayout>

namespace fenster {

// --- the model ------------------------------------------------------------

JournalModell::JournalModell(Sitzung& sitzung, QObject* eltern) : QAbstractTableModel(eltern), m_sitzung(sitzung) {}

void JournalModell::setzen(const Journal::Filter& filter) {
    beginResetModel();
    m_filter = filter;
    m_zeilen.clear();
    m_ende = !m_sitzung.istOffen();
    endResetModel();
    if (!m_ende) fetchMore(QModelIndex());
}

int JournalModell::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_zeilen.size(); }
int JournalModell::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : AnzahlSpalten; }

bool JournalModell::canFetchMore(const QModelIndex& parent) const { return !parent.isValid() && !m_ende; }

void JournalModell::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || m_ende) return;
    QList<Journal::Zeile> neu;
    const Journal::Position ab = m_zeilen.isEmpty() ? Journal::Position() : Journal::Position::nach(m_zeilen.last());
    bool ok = false;
    m_sitzung.lesen([&](DBConnection* db) { ok = Journal::seite(db, m_filter, ab, kSeite, &neu); });
    if (!ok) {
        m_ende = true;
        return;
    }
    m_ende = neu.size() < kSeite;
    if (neu.isEmpty()) return;
    beginInsertRows(QModelIndex(), m_zeilen.size(), m_zeilen.size() + neu.size() - 1);
    m_zeilen += neu;
    endInsertRows();
}

QVariant JournalModell::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_zeilen.size()) return QVariant();
    const Journal::Zeile& z = m_zeilen[index.row()];
    if (role == Qt::TextAlignmentRole) {
        switch (index.column()) {
        case Nummer:
        case Konto:
        case Gegenkonto:
        case Betrag:
        case Schluessel:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    if (role == Qt::ForegroundRole && (z.storno || z.storniert)) return QColor(Qt::gray);
    if (role == Qt::UserRole) return qulonglong(z.nummer);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return QVariant();
    switch (index.column()) {
    case Nummer: return qulonglong(z.nummer);
    case Datum: return z.belegdatum.getText();
    case Beleg: return z.belegnummer;
    case Text: return z.text;
    case Konto: return z.konto ? QVariant(qulonglong(z.konto)) : QVariant();
    case Gegenkonto: return z.gegenkonto ? QVariant(qulonglong(z.gegenkonto)) : QVariant();
    case Betrag: return (z.haben ? -z.betrag : z.betrag).getText();
    case Schluessel: return z.schluessel ? QVariant(qulonglong(z.schluessel)) : QVariant();
    case Art: return KontoGlobal::getBuchungsartText(z.art);
    case Herkunft: return Journal::herkunftName(z.herkunft);
    case Status: return z.storno ? QStringLiteral("Stornobuchung") : z.storniert ? QStringLiteral("storniert") : QString();
    default: return QVariant();
    }
}

QVariant JournalModell::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    static const char* const namen[] = {"Nr.", "Datum", "Beleg", "Buchungstext", "Konto", "Gegenkonto",
                                        "Betrag", "StS", "Art", "Herkunft", "Status"};
    return section >= 0 && section < AnzahlSpalten ? QString::fromUtf8(namen[section]) : QVariant();
}

// --- the view -------------------------------------------------------------

BuchungsAnsicht::BuchungsAnsicht(Sitzung& s, QWidget* eltern) : Ansicht(s, eltern), m_modell(new JournalModell(s, this)) {
    auto* lay = new QVBoxLayout(this);
    auto* filter = new QGridLayout;
    m_zeitraum = new QComboBox(this);
    m_zeitraum->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_konto = new QLineEdit(this);
    m_konto->setPlaceholderText(QStringLiteral("Kontonummer"));
    m_text = new QLineEdit(this);
    m_text->setPlaceholderText(QStringLiteral("Teil des Buchungstexts"));
    m_betrag = new QLineEdit(this);
    m_betrag->setPlaceholderText(QStringLiteral("z. B. 119,00"));
    m_beleg = new QLineEdit(this);
    m_beleg->setPlaceholderText(QStringLiteral("Teil der Belegnummer"));
    m_herkunft = new QComboBox(this);
    m_herkunft->addItem(QStringLiteral("alle"), -1);
    for (const Journal::Herkunft& h : Journal::herkuenfte()) m_herkunft->addItem(h.name, qlonglong(h.code));
    const QList<QPair<QString, QWidget*>> felder = {{QStringLiteral("&Zeitraum"), m_zeitraum}, {QStringLiteral("&Konto"), m_konto},
                                                    {QStringLiteral("&Text"), m_text},         {QStringLiteral("Betra&g"), m_betrag},
                                                    {QStringLiteral("B&eleg"), m_beleg},       {QStringLiteral("&Herkunft"), m_herkunft}};
    for (int i = 0; i < felder.size(); ++i) {
        auto* l = new QLabel(felder[i].first, this);
        l->setBuddy(felder[i].second);
        filter->addWidget(l, 0, i);
        filter->addWidget(felder[i].second, 1, i);
    }
    lay->addLayout(filter);

    auto* hinweisZeile = new QHBoxLayout;
    m_hinweis = new QLabel(this);
    m_aufheben = new QPushButton(fenster::symbol("edit-clear", QStyle::SP_DialogResetButton), QStringLiteral("Filter &aufheben"), this);
    hinweisZeile->addWidget(m_hinweis, 1);
    hinweisZeile->addWidget(m_aufheben);
    lay->addLayout(hinweisZeile);

    m_tabelle = new QTableView(this);
    m_tabelle->setModel(m_modell);
    m_tabelle->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tabelle->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tabelle->setAlternatingRowColors(true);
    m_tabelle->verticalHeader()->hide();
    m_tabelle->verticalHeader()->setDefaultSectionSize(m_tabelle->fontMetrics().height() + 6);
    // Fixed widths: a million rows are never measured to fit.
    m_tabelle->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_tabelle->horizontalHeader()->setStretchLastSection(true);
    const QFontMetrics fm = m_tabelle->fontMetrics();
    const char* const muster[] = {"0000000", "00.00.00000", "RE-2016-0000", "", "000000", "Gegenkonto", "-000.000,000", "StS0",
                                  "Saldovortrag", "Anlage: Anschaffung"};
    for (int i = 0; i < 10; ++i)
        m_tabelle->setColumnWidth(i, i == JournalModell::Text ? 30 * fm.averageCharWidth() : fm.horizontalAdvance(QLatin1String(muster[i])) + 16);
    lay->addWidget(m_tabelle, 1);

    auto* knoepfe = new QHBoxLayout;
    auto* storno = new QPushButton(fenster::symbol("edit-undo", QStyle::SP_ArrowBack), QStringLiteral("&Stornieren"), this);
    auto* loeschen = new QPushButton(fenster::symbol("edit-delete", QStyle::SP_TrashIcon), QStringLiteral("&Löschen"), this);
    auto* fest = new QPushButton(fenster::symbol("changes-prevent", QStyle::SP_DialogApplyButton), QStringLiteral("&Festschreiben bis …"), this);
    auto* pruef = new QPushButton(fenster::symbol("dialog-information", QStyle::SP_MessageBoxInformation), QStringLiteral("&Prüfen"), this);
    storno->setObjectName(QStringLiteral("stornieren"));
    loeschen->setObjectName(QStringLiteral("loeschen"));
    fest->setObjectName(QStringLiteral("festschreiben"));
    pruef->setObjectName(QStringLiteral("pruefen"));
    for (QPushButton* k : {storno, loeschen, fest, pruef}) knoepfe->addWidget(k);
    knoepfe->addStretch();
    lay->addLayout(knoepfe);
    m_befunde = new QListWidget(this);
    m_befunde->setMaximumHeight(120);
    m_befunde->hide();
    lay->addWidget(m_befunde);

    connect(storno, &QPushButton::clicked, this, &BuchungsAnsicht::stornieren);
    connect(loeschen, &QPushButton::clicked, this, &BuchungsAnsicht::loeschen);
    connect(fest, &QPushButton::clicked, this, &BuchungsAnsicht::festschreiben);
    connect(pruef, &QPushButton::clicked, this, &BuchungsAnsicht::pruefen);
    auto* entf = new QShortcut(QKeySequence::Delete, m_tabelle, nullptr, nullptr, Qt::WidgetShortcut);
    connect(entf, &QShortcut::activated, this, &BuchungsAnsicht::loeschen);
    connect(m_befunde, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const unsigned long nr = item->data(Qt::UserRole).toULongLong();
        if (nr == 0) return;
        BuchungsFilter f;
        f.titel = QStringLiteral("Buchung %1 (Befund der Prüfung)").arg(nr);
        f.nummern = {nr};
        filterSetzen(f);
    });

    // Typing filters after a short pause, so each key does not read.
    m_verzoegert.setSingleShot(true);
    m_verzoegert.setInterval(300);
    connect(&m_verzoegert, &QTimer::timeout, this, [this] { m_modell->setzen(filterAusFeldern()); });
    for (QLineEdit* e : {m_konto, m_text, m_betrag, m_beleg})
        connect(e, &QLineEdit::textChanged, this, [this] { m_verzoegert.start(); });
    connect(m_zeitraum, QOverload<int>::of(&QComboBox::activated), this, [this] { m_modell->setzen(filterAusFeldern()); });
    connect(m_herkunft, QOverload<int>::of(&QComboBox::activated), this, [this] { m_modell->setzen(filterAusFeldern()); });
    connect(m_aufheben, &QPushButton::clicked, this, [this] {
        m_nummern.clear();
        for (QLineEdit* e : {m_konto, m_text, m_betrag, m_beleg}) e->clear();
        m_zeitraum->setCurrentIndex(0);
        m_herkunft->setCurrentIndex(0);
        m_verzoegert.stop();
        m_modell->setzen(filterAusFeldern());
    });
    setTabOrder(m_zeitraum, m_konto);
    setTabOrder(m_konto, m_text);
    setTabOrder(m_text, m_betrag);
    setTabOrder(m_betrag, m_beleg);
    setTabOrder(m_beleg, m_herkunft);
    setTabOrder(m_herkunft, m_tabelle);
}

QIcon BuchungsAnsicht::symbol() const { return fenster::symbol("x-office-spreadsheet", QStyle::SP_FileDialogDetailedView); }

void BuchungsAnsicht::zeitraeumeFuellen() {
    if (m_jahr == sitzung().steuerjahr() && m_zeitraum->count() > 0) return;
    m_jahr = sitzung().steuerjahr();
    m_zeitraum->clear();
    m_zeitraum->addItem(QStringLiteral("ganzes Jahr"));
    static const char* const monate[] = {"Januar", "Februar", "März", "April", "Mai", "Juni",
                                         "Juli", "August", "September", "Oktober", "November", "Dezember"};
    for (int m = 1; m <= 12; ++m)
        m_zeitraum->addItem(QString::fromUtf8(monate[m - 1]), QDate(m_jahr, m, 1));
    for (int q = 1; q <= 4; ++q) m_zeitraum->addItem(QStringLiteral("%1. Quartal").arg(q), q);
}

Journal::Filter BuchungsAnsicht::filterAusFeldern() const {
    Journal::Filter f;
    const int i = m_zeitraum->currentIndex();
    if (i >= 1 && i <= 12) {
        f.von = zDate(m_jahr, i, 1);
        f.bis = zDate(m_jahr, i, f.von.daysInMonth());
    } else if (i >= 13) {
        const int q = i - 12;
        f.von = zDate(m_jahr, q * 3 - 2, 1);
        f.bis = zDate(m_jahr, q * 3, 1);
        f.bis = zDate(m_jahr, q * 3, f.bis.daysInMonth());
    }
    f.konto = m_konto->text().trimmed().toULong();
    f.text = m_text->text();
    f.beleg = m_beleg->text();
    f.mitBetrag = EuroType::fromText(m_betrag->text().trimmed(), &f.betrag) && !m_betrag->text().trimmed().isEmpty();
    f.herkunft = long(m_herkunft->currentData().toLongLong());
    f.nummern = m_nummern;
    const bool gefiltert = i > 0 || f.konto || !f.text.isEmpty() || !f.beleg.isEmpty() || f.mitBetrag || f.herkunft >= 0 || !f.nummern.isEmpty();
    if (m_nummern.isEmpty()) m_hinweis->setText(gefiltert ? QStringLiteral("Gefiltert.") : QString());
    m_aufheben->setEnabled(gefiltert);
    return f;
}

void BuchungsAnsicht::aktualisieren() {
    if (!sitzung().istOffen()) return;
    zeitraeumeFuellen();
    m_modell->setzen(filterAusFeldern());
}

void BuchungsAnsicht::filterSetzen(const BuchungsFilter& b) {
    zeitraeumeFuellen();
    m_nummern = b.nummern;
    m_konto->blockSignals(true);
    m_text->blockSignals(true);
    m_betrag->blockSignals(true);
    m_beleg->blockSignals(true);
    m_konto->setText(b.konto ? QString::number(b.konto) : QString());
    m_text->setText(b.text);
    m_betrag->setText(b.mitBetrag ? b.betrag.getText() : QString());
    m_beleg->setText(b.beleg);
    for (QLineEdit* e : {m_konto, m_text, m_betrag, m_beleg}) e->blockSignals(false);
    m_zeitraum->setCurrentIndex(0);
    // A period of exactly one month or quarter shows as such; any other
    // period goes with the figure's bookings.
    if (b.von.isValid() && b.bis.isValid() && b.von.year() == m_jahr && b.von.day() == 1 && b.bis == zDate(b.bis.year(), b.bis.month(), b.bis.daysInMonth())) {
        if (b.von.month() == b.bis.month()) m_zeitraum->setCurrentIndex(b.von.month());
        else if (b.bis.month() - b.von.month() == 2 && b.von.month() % 3 == 1) m_zeitraum->setCurrentIndex(12 + (b.von.month() + 2) / 3);
    }
    const int h = m_herkunft->findData(qlonglong(b.herkunft));
    m_herkunft->setCurrentIndex(h < 0 ? 0 : h);
    Journal::Filter f = filterAusFeldern();
    if (m_zeitraum->currentIndex() == 0 && (b.von.isValid() || b.bis.isValid())) {
        f.von = b.von;
        f.bis = b.bis;
    }
    m_hinweis->setText(b.titel.isEmpty() ? QStringLiteral("Gefiltert.") : QStringLiteral("Es werden gezeigt: %1").arg(b.titel));
    m_aufheben->setEnabled(true);
    m_verzoegert.stop();
    m_modell->setzen(f);
}

QList<unsigned long> BuchungsAnsicht::markierte() const {
    QList<unsigned long> n;
    for (const QModelIndex& i : m_tabelle->selectionModel()->selectedRows()) n.append(m_modell->zeile(i.row()).nummer);
    std::sort(n.begin(), n.end());
    return n;
}

void BuchungsAnsicht::stornieren() {
    const QList<unsigned long> n = markierte();
    if (n.isEmpty()) {
        GetUi().Hinweis(QStringLiteral("Bitte markieren Sie zuerst die Buchungen, die storniert werden sollen."));
        return;
    }
    if (!GetUi().frage(n.size() == 1 ? QStringLiteral("Buchung %1 stornieren? Dazu wird eine Gegenbuchung angelegt.").arg(n.first())
                                     : QStringLiteral("%1 Buchungen stornieren? Dazu wird je eine Gegenbuchung angelegt.").arg(n.size()),
                       QStringLiteral("Stornieren")))
        return;
    sitzung().handeln([&](DBConnection*) {
        QString grund;
        return KontoGlobal::storniereBuchungen(n, &grund).isEmpty() ? grund : QString();
    });
}

void BuchungsAnsicht::loeschen() {
    const QList<unsigned long> n = markierte();
    if (n.isEmpty()) {
        GetUi().Hinweis(QStringLiteral("Bitte markieren Sie zuerst die Buchungen, die gelöscht werden sollen."));
        return;
    }
    if (!GetUi().frage(n.size() == 1 ? QStringLiteral("Buchung %1 löschen?").arg(n.first())
                                     : QStringLiteral("%1 Buchungen löschen?").arg(n.size()),
                       QStringLiteral("Löschen")))
        return;
    sitzung().handeln([&](DBConnection*) {
        QString grund;
        QList<unsigned long> stornos;
        return KontoGlobal::loescheBuchungen(n, &stornos, &grund) ? QString() : grund;
    });
}

void BuchungsAnsicht::festschreiben() {
    // The date of the latest marked booking is proposed.
    zDate vorschlag = sitzung().festgeschriebenBis();
    for (const QModelIndex& i : m_tabelle->selectionModel()->selectedRows()) {
        const zDate d = m_modell->zeile(i.row()).belegdatum;
        if (!vorschlag.isValid() || vorschlag < d) vorschlag = d;
    }
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("Festschreiben"),
                                               QStringLiteral("Buchungen festschreiben bis einschließlich (TT.MM.JJJJ).\nFestgeschriebene "
                                                              "Buchungen können nur noch storniert werden."),
                                               QLineEdit::Normal, vorschlag.getText(), &ok);
    if (!ok) return;
    const zDate bis = zDate::fromText(text.trimmed());
    if (!bis.isValid()) {
        GetUi().rsError(QStringLiteral("„%1“ ist kein Datum; bitte als TT.MM.JJJJ eingeben.").arg(text));
        return;
    }
    sitzung().handeln([&](DBConnection*) {
        bool unveraendert = false;
        return Journal::festschreiben(bis, &unveraendert);
    });
}

void BuchungsAnsicht::pruefen() {
    QList<Journal::Befund> befunde;
    sitzung().lesen([&](DBConnection*) { befunde = Journal::selbstpruefung(); });
    m_befunde->clear();
    if (befunde.isEmpty()) {
        m_befunde->hide();
        GetUi().Hinweis(QStringLiteral("Die Prüfung aller Buchungen hat nichts gefunden."), QStringLiteral("Prüfen"));
        return;
    }
    for (const Journal::Befund& b : befunde) {
        auto* item = new QListWidgetItem(fenster::symbol("dialog-warning", QStyle::SP_MessageBoxWarning), b.text, m_befunde);
        item->setData(Qt::UserRole, qulonglong(b.nummer));
    }
    m_befunde->show();
    m_befunde->setFocus();
}

}  // namespace fenster
