// The advance VAT return view (see ustva_ansicht.h).
#include "fenster/zahlen/ustva_ansicht.h"

#include "fenster/sitzung.h"
#include "fenster/zahlen/werkzeug.h"

#include <QComboBox>
#include "host/app/ui.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/anmeldezeitraum.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace fenster {

namespace {
// The sections of the 2016 form (USt 1 A) and the codes printed in each,
// in the form's order; what a code means and how it is computed is the
// library's (UStVA::kennzahlen).
struct Abschnitt {
    const char* titel;
    QList<int> codes;
};
const QList<Abschnitt>& abschnitte() {
    static const QList<Abschnitt> a = {
        {"Lieferungen und sonstige Leistungen (einschließlich unentgeltlicher Wertabgaben)",
         {41, 44, 49, 43, 48, 81, 86, 35, 51, 77, 76}},
        {"Innergemeinschaftliche Erwerbe", {91, 89, 93, 97, 95, 94}},
        {"Ergänzende Angaben zu Umsätzen", {42, 68, 60, 21, 45}},
        {"Leistungsempfänger als Steuerschuldner (§ 13b UStG)", {46, 52, 73, 78, 84, 65}},
        {"Abziehbare Vorsteuerbeträge", {66, 61, 62, 67, 63, 64, 59}},
        {"Andere Steuerbeträge", {69, 39}},
    };
    return a;
}

constexpr int kCodes = Qt::UserRole;  // on column 0: the codes whose bookings the line shows

QString betrag(const EuroType& e) { return e.getText(); }
}  // namespace

UStVAAnsicht::UStVAAnsicht(Sitzung& sitzung, QWidget* eltern) : Ansicht(sitzung, eltern), m_s(sitzung) {
    auto* v = new QVBoxLayout(this);
    auto* oben = new QHBoxLayout;
    m_zeitraum = new ZeitraumWahl(false, this);
    m_ausgabe = new AusgabeLeiste(
        [this] {
            BerichtListe l;
            UStVA::liste(m_zahlen, &l);
            return l;
        },
        [this] { return m_s.betriebsname(); }, this);
    oben->addWidget(m_zeitraum, 1);
    auto* zeigen = new QPushButton(symbolAus("edit-find", QStyle::SP_FileDialogContentsView), QStringLiteral("&Buchungen zeigen"), this);
    zeigen->setToolTip(QStringLiteral("Die Buchungen, die die gewählte Zeile ergeben (auch mit Doppelklick oder Eingabetaste)"));
    oben->addWidget(zeigen);
    oben->addWidget(m_ausgabe);
    v->addLayout(oben);
    m_kopf = new QLabel(this);
    m_kopf->setTextFormat(Qt::RichText);
    v->addWidget(m_kopf);
    m_hinweise = new QLabel(this);
    m_hinweise->setWordWrap(true);
    m_hinweise->setStyleSheet(QStringLiteral("QLabel { background: #fff6d5; border: 1px solid #e0c060; padding: 4px; }"));
    m_hinweise->setVisible(false);
    v->addWidget(m_hinweise);
    m_formular = new QTreeWidget(this);
    m_formular->setColumnCount(4);
    m_formular->setHeaderLabels({QStringLiteral("Kz."), QStringLiteral("Bezeichnung"), QStringLiteral("Bemessungsgrundlage\n(volle EUR)"),
                                 QStringLiteral("Steuer\n(EUR, Ct)")});
    m_formular->setRootIsDecorated(false);
    m_formular->setAlternatingRowColors(true);
    m_formular->setUniformRowHeights(true);
    m_formular->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_formular->header()->setStretchLastSection(false);
    m_formular->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    m_formular->headerItem()->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    v->addWidget(m_formular, 1);
    setTabOrder(m_zeitraum->auswahl(), m_formular);
    setTabOrder(m_formular, zeigen);

    connect(m_zeitraum, &ZeitraumWahl::geaendert, this, [this] {
        m_periodeGesetzt = true;
        aktualisieren();
    });
    connect(m_formular, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* i) { buchungenZeigen(i); });
    connect(zeigen, &QPushButton::clicked, this, [this] { buchungenZeigen(m_formular->currentItem()); });
}

QIcon UStVAAnsicht::symbol() const { return symbolAus("x-office-document", QStyle::SP_FileDialogDetailedView); }

void UStVAAnsicht::aktualisieren() {
    if (!m_s.istOffen()) return;
    m_s.lesen([this](DBConnection* db) {
        KontoGlobal* kg = m_s.kg();
        const int jahr = kg->getSteuerjahr();
        if (!m_periodeGesetzt || m_zeitraum->jahr() != jahr) {
            // The return a user looks at first: the latest period of the
            // case's filing rhythm that has ended (the last of a past year).
            const bool quartale = Anmeldung::zeitraum(db) == Anmeldung::Zeitraum::Quartal;
            const zDate heute = zDate::today();
            const int monat = heute.year() > jahr ? 11 : heute.year() < jahr ? 0 : qMax(0, heute.month() - 2);
            const int quartal = heute.year() > jahr ? 3 : heute.year() < jahr ? 0 : qMax(0, (heute.month() - 1) / 3 - 1);
            const QSignalBlocker b(m_zeitraum);
            m_zeitraum->setJahr(jahr);
            m_zeitraum->setPeriode(quartale ? UStVA::Periode::ausQuartal(quartal) : UStVA::Periode::ausMonat(monat));
            m_periodeGesetzt = true;
        }
        UStVA::berechne(kg->getSlot(), m_zeitraum->periode(), &m_zahlen);
    });
    fuellen();
}

void UStVAAnsicht::fuellen() {
    const UStVA::Zahlen& z = m_zahlen;
    m_formular->clear();
    QFont fett = m_formular->font();
    fett.setBold(true);
    auto zeile = [&](QTreeWidgetItem* in, const QString& kz, const QString& text, const QString& basis, const QString& steuer,
                     const QList<int>& codes) {
        auto* i = new QTreeWidgetItem(in ? in : m_formular->invisibleRootItem(), {kz, text, basis, steuer});
        i->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        i->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        i->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        QVariantList c;
        for (int k : codes) c << k;
        i->setData(0, kCodes, c);
        if (!codes.isEmpty()) i->setToolTip(1, QStringLiteral("Doppelklick: die Buchungen dieser Zeile"));
        return i;
    };
    QList<int> umsatzCodes, vorsteuerCodes, alle;
    for (const Abschnitt& a : abschnitte()) {
        QTreeWidgetItem* kopf = nullptr;
        for (int code : a.codes) {
            const UStVA::Kennzahl* kz = UStVA::kennzahl(code);
            if (!kz) continue;
            // The tax the ledger books beside a base (§ 13b, 35/36, …) stands on the base's line.
            int steuerCode = 0;
            for (const UStVA::Kennzahl& t : UStVA::kennzahlen())
                if (t.basisVon == code) steuerCode = t.kennziffer;
            const bool hatBasis = kz->basis && z.eintraege.contains(code);
            const bool hatSteuer = steuerCode ? z.eintraege.contains(steuerCode) : (!kz->basis && z.eintraege.contains(code));
            if (!hatBasis && !hatSteuer) continue;
            if (!kopf) {
                kopf = new QTreeWidgetItem(m_formular, {QString::fromUtf8(a.titel)});
                kopf->setFont(0, fett);
                kopf->setFlags(Qt::ItemIsEnabled);
                kopf->setFirstColumnSpanned(true);
            }
            QString steuer;
            if (kz->basis && kz->festerSatz > 0) steuer = betrag(z.steuern.value(code));
            else if (steuerCode) steuer = hatSteuer ? betrag(z.eintraege.value(steuerCode)) : QString();
            else if (!kz->basis) steuer = betrag(z.eintraege.value(code));
            QList<int> codes{code};
            if (steuerCode) codes << steuerCode;
            QString text = z.text(code);
            if (text.isEmpty() && steuerCode) text = z.text(steuerCode);
            zeile(nullptr, steuerCode ? QStringLiteral("%1 / %2").arg(code).arg(steuerCode) : QString::number(code), text,
                  kz->basis ? betrag(z.eintraege.value(code)) : QString(), steuer, codes);
            (kz->abschnitt == UStVA::Abschnitt::Vorsteuer ? vorsteuerCodes : umsatzCodes) << codes;
            alle << codes;
        }
    }
    auto summe = [&](const QString& kz, const QString& text, const EuroType& b, const QList<int>& codes) {
        QTreeWidgetItem* i = zeile(nullptr, kz, text, QString(), betrag(b), codes);
        for (int c = 0; c < 4; ++c) i->setFont(c, fett);
        return i;
    };
    auto* berechnung = new QTreeWidgetItem(m_formular, {QStringLiteral("Berechnung")});
    berechnung->setFont(0, fett);
    berechnung->setFlags(Qt::ItemIsEnabled);
    berechnung->setFirstColumnSpanned(true);
    summe(QString(), QStringLiteral("Umsatzsteuer"), z.umsatz.umsatzsteuer, umsatzCodes);
    summe(QString(), QStringLiteral("Abziehbare Vorsteuerbeträge"), z.vorsteuer.vorsteuer, vorsteuerCodes);
    summe(QString(), QStringLiteral("Verbleibender Betrag"), z.rest.verbleibend, umsatzCodes + vorsteuerCodes);
    const bool ueberschuss = z.rest.vorauszahlung < EuroType();
    summe(QStringLiteral("83"), ueberschuss ? QStringLiteral("Verbleibender Überschuss") : QStringLiteral("Verbleibende Umsatzsteuer-Vorauszahlung"),
          z.rest.vorauszahlung, alle);

    const QString periode = z.periode.text(z.steuerjahr);
    QString kopf = QStringLiteral("<b>Umsatzsteuer-Voranmeldung %1</b>").arg(periode.toHtmlEscaped());
    kopf += QStringLiteral(" — %1: <b>%2 €</b>")
                .arg(ueberschuss ? QStringLiteral("Überschuss (Kz. 83)") : QStringLiteral("Vorauszahlung (Kz. 83)"), betrag(z.rest.vorauszahlung));
    if (z.abgabefrist.isValid()) kopf += QStringLiteral(" — abzugeben bis <b>%1</b>").arg(z.abgabefrist.getText());
    m_kopf->setText(kopf);
    m_hinweise->setText(z.hinweise.join(QLatin1Char('\n')));
    m_hinweise->setVisible(!z.hinweise.isEmpty());
    // The section headings span the row; the code column stays as narrow as its codes.
    m_formular->setColumnWidth(0, m_formular->fontMetrics().horizontalAdvance(QStringLiteral("000 / 000")));
    for (int c = 2; c < 4; ++c) m_formular->resizeColumnToContents(c);
    m_formular->header()->setSectionResizeMode(1, QHeaderView::Stretch);
}

QTreeWidgetItem* UStVAAnsicht::zeileVon(int kennziffer) const {
    for (int i = 0; i < m_formular->topLevelItemCount(); ++i) {
        QTreeWidgetItem* z = m_formular->topLevelItem(i);
        if (!z->data(0, kCodes).toList().isEmpty() && z->text(0).split(QLatin1Char(' ')).first() == QString::number(kennziffer)) return z;
    }
    return nullptr;
}

void UStVAAnsicht::buchungenZeigen(QTreeWidgetItem* zeile) {
    if (!zeile) return;
    const QVariantList c = zeile->data(0, kCodes).toList();
    if (c.isEmpty()) return;
    QList<int> codes;
    for (const QVariant& v : c) codes << v.toInt();
    BuchungsFilter f;
    m_s.lesen([&](DBConnection*) { f.nummern = UStVA::buchungenZu(m_s.kg()->getSlot(), 0, m_zahlen.periode, codes); });
    const QString was = zeile->text(0).isEmpty() ? zeile->text(1) : QStringLiteral("Kennzahl %1").arg(zeile->text(0));
    if (f.nummern.isEmpty()) {
        Ui::current()->Hinweis(QStringLiteral("%1 im Zeitraum %2 ergibt keine Buchung.").arg(was, m_zahlen.periode.text(m_zahlen.steuerjahr)));
        return;
    }
    f.titel = QStringLiteral("%1, %2").arg(was, m_zahlen.periode.text(m_zahlen.steuerjahr));
    emit zeigeBuchungen(f);
}

}  // namespace fenster
