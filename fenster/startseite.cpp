// The start page (see startseite.h).
#include "fenster/startseite.h"

#include "fenster/ansichten.h"
#include "fenster/hauptfenster.h"
#include "fenster/sitzung.h"
#include "kontbaum/konten/startseite.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QFileInfo>
#include <QHBoxLayout>

namespace fenster {

Startseite::Startseite(Sitzung& s, QWidget* eltern) : Ansicht(s, eltern) {
    auto* lay = new QVBoxLayout(this);
    m_kopf = new QLabel(this);
    m_kopf->setTextFormat(Qt::RichText);
    lay->addWidget(m_kopf);
    m_stand = new QLabel(this);
    m_stand->setTextFormat(Qt::RichText);
    m_stand->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lay->addWidget(m_stand);

    auto* zuletztTitel = new QLabel(QStringLiteral("<b>Zuletzt geöffnete Fälle</b>"), this);
    lay->addWidget(zuletztTitel);
    m_zuletzt = new QListWidget(this);
    m_zuletzt->setMaximumHeight(160);
    lay->addWidget(m_zuletzt);
    zuletztTitel->setBuddy(m_zuletzt);
    connect(m_zuletzt, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit oeffnenGewaehlt(item->data(Qt::UserRole).toString()); });

    auto* knoepfe = new QHBoxLayout;
    auto* oeffnen = new QPushButton(fenster::symbol("document-open", QStyle::SP_DialogOpenButton), QStringLiteral("Fall &öffnen …"), this);
    auto* neu = new QPushButton(fenster::symbol("document-new", QStyle::SP_FileIcon), QStringLiteral("&Neuer Fall …"), this);
    knoepfe->addWidget(oeffnen);
    knoepfe->addWidget(neu);
    knoepfe->addStretch();
    lay->addLayout(knoepfe);
    connect(oeffnen, &QPushButton::clicked, this, &Startseite::oeffnenDialogGewaehlt);
    connect(neu, &QPushButton::clicked, this, &Startseite::neuGewaehlt);

    m_teile = new QWidget(this);
    m_teileLayout = new QVBoxLayout(m_teile);
    m_teileLayout->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_teile, 1);
    lay->addStretch();
}

QIcon Startseite::symbol() const { return fenster::symbol("go-home", QStyle::SP_DirHomeIcon); }

void Startseite::aktualisieren() {
    m_zuletzt->clear();
    for (const QString& pfad : Hauptfenster::zuletztGeoeffnet()) {
        auto* item = new QListWidgetItem(fenster::symbol("text-x-generic", QStyle::SP_FileIcon),
                                         QStringLiteral("%1 — %2").arg(QFileInfo(pfad).fileName(), QFileInfo(pfad).absolutePath()), m_zuletzt);
        item->setData(Qt::UserRole, pfad);
    }
    if (m_zuletzt->count() > 0) m_zuletzt->setCurrentRow(0);
    if (!sitzung().istOffen()) {
        m_kopf->setText(QStringLiteral("<h2>Willkommen bei dalvo</h2><p>Öffnen Sie einen Fall oder legen Sie einen neuen an.</p>"));
        m_stand->clear();
        m_teile->hide();
        return;
    }
    m_kopf->setText(QStringLiteral("<h2>%1 — Steuerjahr %2</h2>").arg(sitzung().betriebsname().toHtmlEscaped()).arg(sitzung().steuerjahr()));
    QString text;
    sitzung().lesen([&](DBConnection*) {
        ::Startseite::Stand s;
        QString fehler;
        if (!::Startseite::stand(*sitzung().kg(), zDate::today(), &s, &fehler)) {
            text = fehler.toHtmlEscaped();
            return;
        }
        text = QStringLiteral("<table cellspacing='4'>");
        auto zeile = [&](const QString& a, const QString& b) {
            text += QStringLiteral("<tr><td>%1</td><td align='right'>%2</td></tr>").arg(a, b);
        };
        zeile(QStringLiteral("Einnahmen bisher"), s.einnahmen.getText(EuroType::TextMitEuro));
        zeile(QStringLiteral("Ausgaben bisher"), s.ausgaben.getText(EuroType::TextMitEuro));
        zeile(QStringLiteral("<b>Gewinn bisher</b>"), QStringLiteral("<b>%1</b>").arg(s.gewinn.getText(EuroType::TextMitEuro)));
        for (const auto& g : s.geldkonten)
            zeile(QStringLiteral("%1 %2").arg(g.konto).arg(g.bezeichnung.toHtmlEscaped()), g.saldo.getText(EuroType::TextMitEuro));
        zeile(QStringLiteral("Festgeschrieben bis"), s.festgeschriebenBis.isValid() ? s.festgeschriebenBis.getText() : QStringLiteral("–"));
        zeile(QStringLiteral("Kasse abgeschlossen bis"),
              s.kasseAbgeschlossenBis.isValid() ? s.kasseAbgeschlossenBis.getText() : QStringLiteral("–"));
        zeile(QStringLiteral("Fällige regelmäßige Buchungen"), QString::number(s.faellig.size()));
        zeile(QStringLiteral("Offene Rechnungen"),
              QStringLiteral("%1 (%2)").arg(s.rechnungen.size()).arg(s.offeneRechnungssumme.getText(EuroType::TextMitEuro)));
        zeile(QStringLiteral("Offene Bankumsätze"), QString::number(s.offeneBankumsaetze));
        text += QStringLiteral("</table>");
    });
    m_stand->setText(text);
    if (!m_teileAngelegt) {
        m_teileAngelegt = true;
        for (const StartseitenTeil& t : alleStartseitenTeile()) {
            QWidget* w = t.erzeugen(sitzung());
            w->setObjectName(t.schluessel);
            m_teileLayout->addWidget(w);
        }
    }
    m_teile->show();
}

}  // namespace fenster
