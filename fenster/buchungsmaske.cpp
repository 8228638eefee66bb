// The booking form (see buchungsmaske.h).
#include "fenster/buchungsmaske.h"

#include "fenster/sitzung.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/buchungen/journal.h"
#include "kontbaum/konten/kontoeditor.h"

#include <QCompleter>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QShortcut>
#include <QStringListModel>
#include <QVBoxLayout>

namespace fenster {

namespace {
constexpr int kSchluesselAutomatisch = -1;

QTableWidgetItem* zelle(const QString& text, bool rechts = false) {
    auto* i = new QTableWidgetItem(text);
    i->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (rechts) i->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return i;
}
}  // namespace

BuchungsMaske::BuchungsMaske(Sitzung& s, QWidget* eltern) : Ansicht(s, eltern), m_kontenModell(new QStringListModel(this)) {
    auto* lay = new QVBoxLayout(this);
    auto* zeile = new QGridLayout;
    m_datum = new QLineEdit(this);
    m_datum->setObjectName(QStringLiteral("datum"));
    m_datum->setPlaceholderText(QStringLiteral("TT.MM.JJJJ"));
    m_beleg = new QLineEdit(this);
    m_beleg->setObjectName(QStringLiteral("beleg"));
    m_art = new QComboBox(this);
    m_art->setObjectName(QStringLiteral("art"));
    for (int a = 1; a <= 6; ++a) m_art->addItem(KontoGlobal::getBuchungsartText(a), a);
    m_betrag = new QLineEdit(this);
    m_betrag->setObjectName(QStringLiteral("betrag"));
    m_betrag->setPlaceholderText(QStringLiteral("0,00"));
    m_betrag->setAlignment(Qt::AlignRight);
    m_netto = new QComboBox(this);
    m_netto->setObjectName(QStringLiteral("netto"));
    m_netto->addItems({QStringLiteral("brutto"), QStringLiteral("netto")});
    m_konto = new QLineEdit(this);
    m_konto->setObjectName(QStringLiteral("konto"));
    m_konto->setPlaceholderText(QStringLiteral("Nummer oder Name"));
    m_seite = new QComboBox(this);
    m_seite->setObjectName(QStringLiteral("seite"));
    m_seite->addItems({QStringLiteral("im Soll"), QStringLiteral("im Haben")});
    m_gegen = new QLineEdit(this);
    m_gegen->setObjectName(QStringLiteral("gegenkonto"));
    m_gegen->setPlaceholderText(QStringLiteral("Nummer oder Name"));
    m_schluessel = new QComboBox(this);
    m_schluessel->setObjectName(QStringLiteral("schluessel"));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("text"));
    m_kontoName = new QLabel(this);
    m_gegenName = new QLabel(this);
    for (QLineEdit* e : {m_konto, m_gegen}) {
        auto* c = new QCompleter(m_kontenModell, e);
        c->setCaseSensitivity(Qt::CaseInsensitive);
        c->setFilterMode(Qt::MatchContains);
        c->setMaxVisibleItems(12);
        e->setCompleter(c);
    }
    const QList<QPair<QString, QWidget*>> felder = {
        {QStringLiteral("&Datum"), m_datum},   {QStringLiteral("Be&leg"), m_beleg},         {QStringLiteral("&Art"), m_art},
        {QStringLiteral("&Betrag"), m_betrag}, {QStringLiteral("Br&utto/Netto"), m_netto}, {QStringLiteral("&Konto"), m_konto},
        {QStringLiteral("&Seite"), m_seite},   {QStringLiteral("&Gegenkonto"), m_gegen},   {QStringLiteral("Steuerschl&üssel"), m_schluessel},
        {QStringLiteral("&Text"), m_text}};
    // Two rows as on a paper voucher: when and how much, then where to.
    for (int i = 0; i < felder.size(); ++i) {
        auto* l = new QLabel(felder[i].first, this);
        l->setBuddy(felder[i].second);
        const int reihe = i < 5 ? 0 : 3;
        const int spalte = i < 5 ? i : i - 5;
        zeile->addWidget(l, reihe, spalte);
        zeile->addWidget(felder[i].second, reihe + 1, spalte);
        felder[i].second->installEventFilter(this);
        felder[i].second->setMinimumWidth(110);
    }
    zeile->addWidget(m_kontoName, 5, 0, 1, 2);
    zeile->addWidget(m_gegenName, 5, 2, 1, 2);
    zeile->setRowMinimumHeight(2, 8);
    zeile->setColumnStretch(4, 2);
    zeile->setColumnStretch(0, 1);
    zeile->setColumnStretch(2, 1);
    zeile->setColumnStretch(3, 1);
    lay->addLayout(zeile);
    for (int i = 0; i + 1 < felder.size(); ++i) setTabOrder(felder[i].second, felder[i + 1].second);

    auto* knoepfe = new QHBoxLayout;
    auto* buchenKnopf = new QPushButton(fenster::symbol("document-save", QStyle::SP_DialogSaveButton), QStringLiteral("Buchen (Eingabe)"), this);
    buchenKnopf->setObjectName(QStringLiteral("buchen"));
    auto* teilKnopf = new QPushButton(fenster::symbol("list-add", QStyle::SP_FileDialogNewFolder), QStringLiteral("Weiteres Gegenkonto (Strg+T)"), this);
    auto* leerKnopf = new QPushButton(fenster::symbol("edit-clear", QStyle::SP_DialogResetButton), QStringLiteral("Leeren (Esc)"), this);
    m_vorlagen = new QComboBox(this);
    m_vorlagen->setObjectName(QStringLiteral("vorlagen"));
    auto* vorlageKnopf = new QPushButton(fenster::symbol("bookmark-new", QStyle::SP_DialogSaveButton), QStringLiteral("Als &Vorlage speichern …"), this);
    m_faellig = new QPushButton(fenster::symbol("appointment-soon", QStyle::SP_BrowserReload), QString(), this);
    m_faellig->setObjectName(QStringLiteral("faellig"));
    for (QWidget* w : {static_cast<QWidget*>(buchenKnopf), static_cast<QWidget*>(teilKnopf), static_cast<QWidget*>(leerKnopf)}) knoepfe->addWidget(w);
    knoepfe->addStretch();
    lay->addLayout(knoepfe);
    auto* vorlagenZeile = new QHBoxLayout;
    auto* vorlageLabel = new QLabel(QStringLiteral("V&orlage:"), this);
    vorlageLabel->setBuddy(m_vorlagen);
    vorlagenZeile->addWidget(vorlageLabel);
    vorlagenZeile->addWidget(m_vorlagen, 1);
    vorlagenZeile->addWidget(vorlageKnopf);
    vorlagenZeile->addWidget(m_faellig);
    lay->addLayout(vorlagenZeile);
    for (QPushButton* k : {buchenKnopf, teilKnopf, leerKnopf, vorlageKnopf, m_faellig}) k->setAutoDefault(false);

    m_teileTabelle = new QTableWidget(0, 4, this);
    m_teileTabelle->setHorizontalHeaderLabels({QStringLiteral("Gegenkonto"), QStringLiteral("Steuerschlüssel"), QStringLiteral("Betrag"),
                                               QStringLiteral("Text")});
    m_teileTabelle->horizontalHeader()->setStretchLastSection(true);
    m_teileTabelle->verticalHeader()->hide();
    m_teileTabelle->setMaximumHeight(110);
    m_teileTabelle->hide();
    lay->addWidget(m_teileTabelle);

    auto* vorschauTitel = new QLabel(QStringLiteral("<b>Vorschau der Buchungszeilen</b>"), this);
    lay->addWidget(vorschauTitel);
    m_vorschau = new QTableWidget(0, 5, this);
    m_vorschau->setObjectName(QStringLiteral("vorschau"));
    m_vorschau->setHorizontalHeaderLabels({QStringLiteral("Konto"), QStringLiteral("Soll"), QStringLiteral("Haben"),
                                           QStringLiteral("Steuerschlüssel"), QStringLiteral("Gegenkonto")});
    m_vorschau->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_vorschau->verticalHeader()->hide();
    m_vorschau->setFocusPolicy(Qt::NoFocus);
    lay->addWidget(m_vorschau, 1);
    m_meldung = new QLabel(this);
    m_meldung->setObjectName(QStringLiteral("meldung"));
    m_meldung->setWordWrap(true);
    lay->addWidget(m_meldung);

    connect(buchenKnopf, &QPushButton::clicked, this, [this] { buchen(); });
    connect(teilKnopf, &QPushButton::clicked, this, &BuchungsMaske::teilHinzufuegen);
    connect(leerKnopf, &QPushButton::clicked, this, &BuchungsMaske::leeren);
    connect(vorlageKnopf, &QPushButton::clicked, this, &BuchungsMaske::alsVorlageSpeichern);
    connect(m_faellig, &QPushButton::clicked, this, &BuchungsMaske::faelligeBuchen);
    connect(m_vorlagen, QOverload<int>::of(&QComboBox::activated), this, &BuchungsMaske::vorlageUebernehmen);
    auto* teilKuerzel = new QShortcut(QKeySequence(Qt::CTRL + Qt::Key_T), this);
    connect(teilKuerzel, &QShortcut::activated, this, &BuchungsMaske::teilHinzufuegen);

    // The preview follows typing after a short pause.
    m_vorschauUhr.setSingleShot(true);
    m_vorschauUhr.setInterval(250);
    connect(&m_vorschauUhr, &QTimer::timeout, this, &BuchungsMaske::vorschauBerechnen);
    for (QLineEdit* e : {m_datum, m_beleg, m_betrag, m_konto, m_gegen, m_text})
        connect(e, &QLineEdit::textChanged, this, [this] { m_vorschauUhr.start(); });
    for (QComboBox* c : {m_art, m_netto, m_seite, m_schluessel})
        connect(c, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] { m_vorschauUhr.start(); });
    connect(m_art, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        // The side of the money account follows from the kind, except for
        // free bookings and opening balances.
        const int art = m_art->currentData().toInt();
        const bool frei = EingabePruefer::pruefeSeite(art, false).isEmpty() && EingabePruefer::pruefeSeite(art, true).isEmpty();
        m_seite->setEnabled(frei);
        if (!frei) m_seite->setCurrentIndex(EingabePruefer::pruefeSeite(art, false).isEmpty() ? 0 : 1);
    });
    auto zeigeName = [this](QLineEdit* e, QLabel* l) {
        const unsigned long nr = kontoVon(e);
        l->setText(nr ? m_kontoNamen.value(nr, QStringLiteral("(kein Konto des Kontenplans)")) : QString());
    };
    connect(m_konto, &QLineEdit::textChanged, this, [=] { zeigeName(m_konto, m_kontoName); });
    connect(m_gegen, &QLineEdit::textChanged, this, [=] { zeigeName(m_gegen, m_gegenName); });
    m_art->setCurrentIndex(1);
    m_art->setCurrentIndex(0);
}

QIcon BuchungsMaske::symbol() const { return fenster::symbol("document-edit", QStyle::SP_FileDialogContentsView); }

void BuchungsMaske::aktualisieren() {
    if (!sitzung().istOffen()) return;
    QStringList konten;
    QList<Kontoeditor::Schluesselzeile> schluessel;
    QList<Regelbuchung::Vorlage> vorlagen;
    QString beleg;
    int faellig = 0;
    sitzung().lesen([&](DBConnection* db) {
        m_kontoNamen.clear();
        for (const Kontoeditor::Kontozeile& k : Kontoeditor::kontenliste(false)) {
            konten << QStringLiteral("%1 %2").arg(k.nummer).arg(k.bezeichnung);
            m_kontoNamen.insert(k.nummer, k.bezeichnung);
        }
        schluessel = Kontoeditor::schluesselliste();
        vorlagen = Regelbuchung::vorlagen(db);
        beleg = Journal::naechsteBelegnummer(db);
        QList<rsEurRegelBuch> liste;
        faellig = Regelbuchung::faellige(liste, 0, zDate::today());
    });
    m_jahr = sitzung().steuerjahr();
    m_kontenModell->setStringList(konten);
    const QVariant bisher = m_schluessel->currentData();
    m_schluessel->blockSignals(true);
    m_schluessel->clear();
    m_schluessel->addItem(QStringLiteral("vom Gegenkonto"), kSchluesselAutomatisch);
    m_schluessel->addItem(QStringLiteral("0 – ohne Steuer"), 0);
    for (const auto& k : schluessel)
        if (k.aktiv) m_schluessel->addItem(QStringLiteral("%1 – %2").arg(k.schluessel).arg(k.bezeichnung), qlonglong(k.schluessel));
    const int i = m_schluessel->findData(bisher);
    m_schluessel->setCurrentIndex(i < 0 ? 0 : i);
    m_schluessel->blockSignals(false);
    m_vorlagen->clear();
    m_vorlagen->addItem(QStringLiteral("– keine –"), 0);
    for (const auto& v : vorlagen)
        m_vorlagen->addItem(v.intervall.isEmpty() ? v.buchungstext
                                                  : QStringLiteral("%1 (%2)").arg(v.buchungstext, Regelbuchung::intervallName(v.intervall)),
                            qulonglong(v.nummer));
    m_faellig->setText(QStringLiteral("Fällige regelmäßige Buchungen (%1) buchen").arg(faellig));
    m_faellig->setEnabled(faellig > 0);
    if (m_beleg->text().isEmpty()) m_beleg->setText(beleg);
    if (m_datum->text().isEmpty()) m_datum->setFocus();
}

bool BuchungsMaske::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        auto* edit = qobject_cast<QLineEdit*>(o);
        const bool popupOffen = edit && edit->completer() && edit->completer()->popup()->isVisible();
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && !popupOffen) {
            buchen();
            return true;
        }
        if (k->key() == Qt::Key_Escape && !popupOffen) {
            leeren();
            return true;
        }
    }
    return Ansicht::eventFilter(o, e);
}

unsigned long BuchungsMaske::kontoVon(const QLineEdit* e) const {
    // "4210 Miete" from the search, or a bare number.
    const QString t = e->text().trimmed().section(QLatin1Char(' '), 0, 0);
    bool ok = false;
    const unsigned long nr = t.toULong(&ok);
    return ok ? nr : 0;
}

zDate BuchungsMaske::datumVon(const QString& text) const {
    // "15.3." and "1503" are dates of the case's year, as bookkeepers type them.
    QString t = text.trimmed();
    if (t.size() == 4 && t.toInt() > 0) t = t.left(2) + QLatin1Char('.') + t.mid(2) + QLatin1Char('.');
    if (t.count(QLatin1Char('.')) == 2 && t.endsWith(QLatin1Char('.'))) t += QString::number(m_jahr);
    return zDate::fromText(t);
}

QString BuchungsMaske::entwurf(DBConnection*, KontoGlobal::BuchungsEntwurf* b, bool* schluesselAngegeben) const {
    b->belegdatum = datumVon(m_datum->text());
    if (!b->belegdatum.isValid()) return QStringLiteral("Bitte ein Belegdatum als TT.MM.JJJJ eingeben.");
    b->belegnummer = m_beleg->text().trimmed();
    b->buchungsart = m_art->currentData().toInt();
    b->text = m_text->text().trimmed();
    b->konto = kontoVon(m_konto);
    if (b->konto == 0) return QStringLiteral("Bitte das Konto (Geldkonto) als Nummer oder aus der Suche angeben.");
    b->haben = m_seite->currentIndex() == 1;
    b->teile = m_teile;
    const unsigned long gegen = kontoVon(m_gegen);
    const QString betragText = m_betrag->text().trimmed();
    if (gegen != 0 || !betragText.isEmpty() || b->teile.isEmpty()) {
        EuroType betrag;
        if (!EuroType::fromText(betragText, &betrag) || betrag.isNull())
            return QStringLiteral("Bitte einen Betrag wie 119,00 eingeben (höchstens zwei Nachkommastellen).");
        if (betrag < EuroType())
            return QStringLiteral("Bitte den Betrag ohne Vorzeichen eingeben; die Seite ergibt sich aus der Buchungsart.");
        if (gegen == 0) return QStringLiteral("Bitte das Gegenkonto als Nummer oder aus der Suche angeben.");
        const qlonglong s = m_schluessel->currentData().toLongLong();
        b->teile.append({gegen, s < 0 ? 0ul : (unsigned long)s, betrag, m_netto->currentIndex() == 1, QString()});
        *schluesselAngegeben = s >= 0;
    } else {
        *schluesselAngegeben = true;
    }
    return QString();
}

QString BuchungsMaske::entwurfGeprueft(DBConnection* db, KontoGlobal::BuchungsEntwurf* b) const {
    bool schluesselAngegeben = true;
    QString grund = entwurf(db, b, &schluesselAngegeben);
    if (!grund.isEmpty()) return grund;
    // The checks every typed or imported booking passes; the counter
    // account's key is filled in when none was chosen.
    grund = EingabePruefer(db, sitzung().steuerjahr()).pruefen(*b, b->belegdatum, schluesselAngegeben);
    if (!grund.isEmpty()) return grund;
    for (const auto& t : b->teile)
        if (t.netto && t.steuerschluessel == 0) return QStringLiteral("Ein Nettobetrag braucht einen Steuerschlüssel.");
    return QString();
}

void BuchungsMaske::vorschauBerechnen() {
    m_vorschauUhr.stop();
    m_vorschau->setRowCount(0);
    if (!sitzung().istOffen()) return;
    if (m_betrag->text().trimmed().isEmpty() && m_teile.isEmpty()) {
        m_meldung->clear();
        return;
    }
    QList<Journal::Vorschauzeile> zeilen;
    QString grund;
    sitzung().lesen([&](DBConnection* db) {
        KontoGlobal::BuchungsEntwurf b;
        grund = entwurfGeprueft(db, &b);
        if (!grund.isEmpty()) return;
        // The preview posts and rolls back; while a script writes, typing
        // must not wait for it: the preview then says so and waits for the
        // next keystroke.
        db->setBusyTimeout(100);
        Journal::vorschau(db, b, &zeilen, &grund);
        db->setBusyTimeout(Sitzung::kWarteMs);
    });
    m_meldung->setStyleSheet(grund.isEmpty() ? QString() : QStringLiteral("color: #a00;"));
    m_meldung->setText(grund.isEmpty() ? QStringLiteral("Eingabe drücken zum Buchen.") : grund);
    for (const Journal::Vorschauzeile& z : zeilen) {
        const int r = m_vorschau->rowCount();
        m_vorschau->insertRow(r);
        const QString name = m_kontoNamen.value(z.konto);
        m_vorschau->setItem(r, 0, zelle(QStringLiteral("%1 %2").arg(z.konto).arg(name)));
        m_vorschau->setItem(r, 1, zelle(z.haben ? QString() : z.betrag.getText(), true));
        m_vorschau->setItem(r, 2, zelle(z.haben ? z.betrag.getText() : QString(), true));
        m_vorschau->setItem(r, 3, zelle(z.steuerzeile ? QStringLiteral("Steuer") : z.schluessel ? QString::number(z.schluessel) : QString()));
        m_vorschau->setItem(r, 4, zelle(QString::number(z.gegenkonto)));
    }
}

void BuchungsMaske::teilHinzufuegen() {
    const unsigned long gegen = kontoVon(m_gegen);
    EuroType betrag;
    if (gegen == 0 || !EuroType::fromText(m_betrag->text().trimmed(), &betrag) || betrag <= EuroType()) {
        GetUi().Hinweis(QStringLiteral("Für ein weiteres Gegenkonto zuerst Gegenkonto und Betrag dieses Teils eingeben."));
        return;
    }
    const qlonglong s = m_schluessel->currentData().toLongLong();
    if (s < 0) {
        // The part keeps the key its account gives it now.
        unsigned long schluessel = 0;
        sitzung().lesen([&](DBConnection*) {
            for (const auto& k : Kontoeditor::kontenliste(QList<unsigned long>{gegen})) schluessel = k.steuerschluessel;
        });
        m_teile.append({gegen, schluessel, betrag, m_netto->currentIndex() == 1, m_text->text().trimmed()});
    } else {
        m_teile.append({gegen, (unsigned long)s, betrag, m_netto->currentIndex() == 1, m_text->text().trimmed()});
    }
    m_gegen->clear();
    m_betrag->clear();
    m_schluessel->setCurrentIndex(0);
    teileZeigen();
    m_betrag->setFocus();
    vorschauBerechnen();
}

void BuchungsMaske::teileZeigen() {
    m_teileTabelle->setRowCount(0);
    for (const auto& t : m_teile) {
        const int r = m_teileTabelle->rowCount();
        m_teileTabelle->insertRow(r);
        m_teileTabelle->setItem(r, 0, zelle(QStringLiteral("%1 %2").arg(t.konto).arg(m_kontoNamen.value(t.konto))));
        m_teileTabelle->setItem(r, 1, zelle(QString::number(t.steuerschluessel)));
        m_teileTabelle->setItem(r, 2, zelle(t.betrag.getText() + (t.netto ? QStringLiteral(" netto") : QString()), true));
        m_teileTabelle->setItem(r, 3, zelle(t.text));
    }
    m_teileTabelle->setVisible(!m_teile.isEmpty());
}

unsigned long BuchungsMaske::buchen() {
    m_vorschauUhr.stop();
    unsigned long nr = 0;
    const bool ok = sitzung().handeln([&](DBConnection* db) {
        KontoGlobal::BuchungsEntwurf b;
        QString grund = entwurfGeprueft(db, &b);
        if (!grund.isEmpty()) return grund;
        nr = KontoGlobal::bucheEingabe(b, db, &grund);
        return nr == 0 ? grund : QString();
    });
    if (!ok) {
        m_meldung->setStyleSheet(QStringLiteral("color: #a00;"));
        m_meldung->setText(QStringLiteral("Nicht gebucht."));
        return 0;
    }
    m_letzte = nr;
    // The next voucher of the series; the date stays for the next receipt.
    const QString beleg = m_beleg->text().trimmed();
    leeren();
    m_beleg->setText(beleg.isEmpty() ? QString() : KontoGlobal::incRefNumber(beleg));
    m_meldung->setStyleSheet(QString());
    m_meldung->setText(QStringLiteral("Buchung %1 gebucht.").arg(nr));
    return nr;
}

void BuchungsMaske::leeren() {
    for (QLineEdit* e : {m_betrag, m_konto, m_gegen, m_text}) e->clear();
    m_teile.clear();
    teileZeigen();
    m_schluessel->setCurrentIndex(0);
    m_netto->setCurrentIndex(0);
    m_vorschau->setRowCount(0);
    m_meldung->clear();
    m_vorschauUhr.stop();
    m_datum->setFocus();
    m_datum->selectAll();
}

void BuchungsMaske::vorlageUebernehmen(int index) {
    const unsigned long nr = m_vorlagen->itemData(index).toULongLong();
    if (nr == 0) return;
    KontoGlobal::SimpleBuchung v;
    int art = 0;
    sitzung().lesen([&](DBConnection* db) {
        v = KontoGlobal::getBuchung(nr, QStringLiteral("eurBeispiel"));
        for (const auto& t : Regelbuchung::vorlagen(db))
            if (t.nummer == nr) art = t.buchungsart;
    });
    if (v.buchungsnummer == 0) return;
    const int a = m_art->findData(art);
    if (a >= 0) m_art->setCurrentIndex(a);
    m_text->setText(v.buchungstext);
    m_betrag->setText(v.betrag.abs().getText());
    m_konto->setText(QString::number(v.konto));
    m_seite->setCurrentIndex(v.haben ? 1 : 0);
    m_gegen->setText(QString::number(v.gegenkonto));
    const int s = m_schluessel->findData(qlonglong(v.steuerschluessel));
    m_schluessel->setCurrentIndex(s < 0 ? 0 : s);
    m_netto->setCurrentIndex(0);
    m_vorlagen->setCurrentIndex(0);
    m_datum->setFocus();
    m_datum->selectAll();
    vorschauBerechnen();
}

void BuchungsMaske::alsVorlageSpeichern() {
    QStringList namen{QStringLiteral("einmalig (ohne Wiederholung)")};
    for (int c = 1; c <= 8; ++c) namen << Regelbuchung::intervallName(QString::number(c));
    bool ok = false;
    const QString wahl = QInputDialog::getItem(this, QStringLiteral("Als Vorlage speichern"),
                                               QStringLiteral("Die Buchung der Zeile wird als Vorlage gespeichert. Wiederholung:"), namen, 0,
                                               false, &ok);
    if (!ok) return;
    const int intervall = int(namen.indexOf(wahl));
    sitzung().handeln([&](DBConnection* db) {
        KontoGlobal::BuchungsEntwurf b;
        QString grund = entwurfGeprueft(db, &b);
        if (!grund.isEmpty()) return grund;
        return Regelbuchung::vorlageAnlegen(b, intervall, &grund) == 0 ? grund : QString();
    });
}

void BuchungsMaske::faelligeBuchen() {
    Regelbuchung::Ergebnis erg;
    const bool ok = sitzung().handeln([&](DBConnection*) {
        QList<rsEurRegelBuch> liste;
        Regelbuchung::faellige(liste, 0, zDate::today());
        QString fehler;
        return Regelbuchung::buchen(liste, &erg, &fehler) ? QString() : fehler;
    });
    if (ok && !erg.meldung.isEmpty()) GetUi().Hinweis(erg.meldung, QStringLiteral("Regelmäßige Buchungen"));
}

}  // namespace fenster
