// The bank CSV layout chosen by hand (see csvlayout.h).
#include "fenster/ansichten/csvlayout.h"

#include "fenster/ansichten/gemeinsam.h"
#include "fenster/sitzung.h"

#include "kontbaum/rahmen/kontglob.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace fenster {

using namespace gemeinsam;

namespace {
const QString kGenerisch = QStringLiteral("generisch");
}

CsvLayoutDialog::CsvLayoutDialog(Sitzung& s, const QString& pfad, const QString& grund, Einlesen einlesen, QWidget* eltern)
    : QDialog(eltern), m_einlesen(std::move(einlesen)) {
    setWindowTitle(QStringLiteral("CSV-Layout der Bank wählen"));
    auto* layout = new QVBoxLayout(this);
    auto* erklaerung = new QLabel(grund.toHtmlEscaped() + QStringLiteral("<br><br>Wählen Sie das Layout Ihrer Bank oder ordnen Sie die Spalten "
                                                                         "selbst zu (Spalten von links gezählt, ab 1)."),
                                  this);
    erklaerung->setWordWrap(true);
    layout->addWidget(erklaerung);
    // The first lines of the file, so that the user can count its columns.
    auto* vorschau = new QPlainTextEdit(this);
    vorschau->setObjectName(QStringLiteral("vorschau"));
    vorschau->setReadOnly(true);
    vorschau->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFile f(pfad);
    if (f.open(QIODevice::ReadOnly)) {
        QStringList zeilen;
        while (zeilen.size() < 8 && !f.atEnd()) zeilen << QString::fromUtf8(f.readLine()).trimmed();
        vorschau->setPlainText(zeilen.join(QLatin1Char('\n')));
    }
    vorschau->setMaximumHeight(vorschau->fontMetrics().height() * 10);
    layout->addWidget(vorschau);

    auto* form = new QFormLayout;
    m_layout = new QComboBox(this);
    m_layout->setObjectName(QStringLiteral("layout"));
    for (const Bank::CsvLayout& l : Bank::csvLayouts())
        m_layout->addItem(l.name == kGenerisch ? QStringLiteral("Spalten selbst zuordnen")
                                               : QStringLiteral("%1 (%2)").arg(l.name, l.beschreibung),
                          l.name);
    form->addRow(QStringLiteral("&Layout:"), m_layout);
    m_konto = new QComboBox(this);
    m_konto->setObjectName(QStringLiteral("konto"));
    s.lesen([&](DBConnection* db) {
        for (const Bank::Verbindung& v : Bank::verbindungen(db))
            m_konto->addItem(QStringLiteral("%1 %2 (%3)")
                                 .arg(v.konto)
                                 .arg(v.bezeichnung.isEmpty() ? KontoGlobal::getKontobezeichnung(v.konto) : v.bezeichnung,
                                      v.iban.isEmpty() ? v.kontonummer : v.iban),
                             qulonglong(v.konto));
    });
    m_konto->addItem(QStringLiteral("das Konto, das die Datei nennt"), 0);
    form->addRow(QStringLiteral("&Bankkonto:"), m_konto);
    layout->addLayout(form);

    m_spalten = new QWidget(this);
    auto* spalten = new QFormLayout(m_spalten);
    spalten->setContentsMargins(0, 0, 0, 0);
    const QList<QPair<QString, QString>> felder{
        {QStringLiteral("datum"), QStringLiteral("Buchungs&tag:")},      {QStringLiteral("betrag"), QStringLiteral("Bet&rag (mit Vorzeichen):")},
        {QStringLiteral("soll"), QStringLiteral("oder &Soll (Ausgang):")}, {QStringLiteral("haben"), QStringLiteral("und &Haben (Eingang):")},
        {QStringLiteral("zweck"), QStringLiteral("&Verwendungszweck:")},  {QStringLiteral("name"), QStringLiteral("&Name der Gegenpartei:")},
        {QStringLiteral("iban"), QStringLiteral("&IBAN der Gegenpartei:")}, {QStringLiteral("valuta"), QStringLiteral("V&aluta:")}};
    for (const auto& f : felder) {
        auto* sp = new QSpinBox(m_spalten);
        sp->setObjectName(f.first);
        sp->setRange(0, 200);
        sp->setSpecialValueText(QStringLiteral("–"));
        spalten->addRow(f.second, sp);
        m_felder.insert(f.first, sp);
    }
    m_kopf = new QSpinBox(m_spalten);
    m_kopf->setObjectName(QStringLiteral("kopf"));
    m_kopf->setRange(0, 200);
    m_kopf->setSpecialValueText(QStringLiteral("erkennen"));
    m_kopf->setToolTip(QStringLiteral("Die Zeile der Spaltenüberschriften; „erkennen“: die erste Zeile, wenn in ihr kein Datum steht."));
    spalten->addRow(QStringLiteral("&Kopfzeile:"), m_kopf);
    layout->addWidget(m_spalten);

    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Einlesen"));
    knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(knoepfe, &QDialogButtonBox::accepted, this, &CsvLayoutDialog::accept);
    connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(knoepfe);
    connect(m_layout, qOverload<int>(&QComboBox::currentIndexChanged), this, &CsvLayoutDialog::layoutGewechselt);
    layoutGewechselt();
    m_layout->setFocus();
}

void CsvLayoutDialog::layoutGewechselt() { m_spalten->setEnabled(m_layout->currentData().toString() == kGenerisch); }

void CsvLayoutDialog::accept() {
    Bank::Importoptionen o;
    o.format = Bank::Format::Csv;
    o.layout = m_layout->currentData().toString();
    if (o.layout == kGenerisch) {
        QStringList teile;
        for (auto it = m_felder.cbegin(); it != m_felder.cend(); ++it)
            if (it.value()->value() > 0) teile << QStringLiteral("%1=%2").arg(it.key()).arg(it.value()->value());
        if (m_kopf->value() > 0) teile << QStringLiteral("kopf=%1").arg(m_kopf->value());
        const auto hat = [&](const char* feld) { return m_felder.value(QLatin1String(feld))->value() > 0; };
        if (!hat("datum") || !(hat("betrag") || (hat("soll") && hat("haben"))))
            return meldeFehler(QStringLiteral("Bitte nennen Sie mindestens die Spalten des Buchungstags und des Betrags (oder von Soll und Haben)."));
        o.spalten = teile.join(QLatin1Char(','));
    }
    Bank::CsvLayout geprueft;
    QString e;
    if (!Bank::csvLayout(o.layout, o.spalten, &geprueft, &e)) return meldeFehler(e);
    if (m_einlesen(o, m_konto->currentData().toULongLong())) QDialog::accept();
}

}  // namespace fenster
