// The main window (see hauptfenster.h).
#include "fenster/hauptfenster.h"

#include "fenster/ansichten.h"
#include "fenster/ansichten/kasse.h"
#include "fenster/dialoge.h"
#include "fenster/startseite.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QUrl>

namespace fenster {

namespace {
const QString kZuletzt = QStringLiteral("zuletzt");
constexpr int kZuletztAnzahl = 8;
}  // namespace

Hauptfenster::Hauptfenster(QWidget* eltern) : QMainWindow(eltern), m_ui(this) {
    m_vorherigeUi = Ui::install(&m_ui);
    setWindowIcon(fenster::symbol("accessories-calculator", QStyle::SP_ComputerIcon));
    auto* teiler = new QSplitter(this);
    m_navigation = new QListWidget(teiler);
    m_navigation->setObjectName(QStringLiteral("navigation"));
    m_navigation->setIconSize(QSize(22, 22));
    m_stapel = new QStackedWidget(teiler);
    teiler->addWidget(m_navigation);
    teiler->addWidget(m_stapel);
    teiler->setStretchFactor(1, 1);
    teiler->setCollapsible(0, false);
    setCentralWidget(teiler);

    m_start = new Startseite(m_sitzung, m_stapel);
    m_ansichten.append({QStringLiteral("start"), m_start});
    for (const AnsichtEintrag& e : alleAnsichten()) {
        Ansicht* a = e.erzeugen(m_sitzung);
        a->setParent(m_stapel);
        a->setObjectName(e.schluessel);
        m_ansichten.append({e.schluessel, a});
    }
    for (const auto& [schluessel, a] : m_ansichten) {
        m_stapel->addWidget(a);
        auto* item = new QListWidgetItem(a->symbol(), a->titel(), m_navigation);
        item->setData(Qt::UserRole, schluessel);
        connect(a, &Ansicht::zeigeBuchungen, this, &Hauptfenster::zeigeBuchungen);
        connect(a, &Ansicht::zeigeAnsicht, this, [this](const QString& s) { zeige(s); });
        if (auto* kasse = qobject_cast<KassenAnsicht*>(a)) connect(kasse, &KassenAnsicht::kassenfallGewuenscht, this, [this] { kassenfallAnlegen(); });
    }
    // The navigation shows every title whole: the widest entry with its icon,
    // the frame and a scroll bar decide the width, not a guess.
    const int breite = m_navigation->sizeHintForColumn(0) + 2 * m_navigation->frameWidth() +
                       m_navigation->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
    m_navigation->setMinimumWidth(breite);
    m_navigation->setMaximumWidth(qMax(breite, 260));
    teiler->setSizes({breite, 900});
    connect(m_navigation, &QListWidget::currentRowChanged, this, [this](int zeile) {
        if (zeile < 0 || zeile >= m_ansichten.size()) return;
        m_stapel->setCurrentIndex(zeile);
        m_ansichten[zeile].second->aktualisieren();
        titelSetzen();
    });
    connect(m_start, &Startseite::oeffnenGewaehlt, this, [this](const QString& p) { fallOeffnen(p); });
    connect(m_start, &Startseite::oeffnenDialogGewaehlt, this, &Hauptfenster::dateiOeffnenDialog);
    connect(m_start, &Startseite::neuGewaehlt, this, &Hauptfenster::neuerFallDialog);

    m_statusFall = new QLabel(this);
    m_statusJahr = new QLabel(this);
    m_statusFest = new QLabel(this);
    statusBar()->addWidget(m_statusFall, 1);
    statusBar()->addPermanentWidget(m_statusJahr);
    statusBar()->addPermanentWidget(m_statusFest);

    menusAnlegen();
    connect(&m_sitzung, &Sitzung::geaendert, this, &Hauptfenster::alleAktualisieren);
    connect(&m_sitzung, &Sitzung::geschlossen, this, &Hauptfenster::alleAktualisieren);

    QSettings einst;
    resize(1100, 720);
    restoreGeometry(einst.value(QStringLiteral("fenster/geometrie")).toByteArray());
    restoreState(einst.value(QStringLiteral("fenster/zustand")).toByteArray());
    alleAktualisieren();
}

Hauptfenster::~Hauptfenster() {
    m_sitzung.schliessen();
    Ui::install(m_vorherigeUi);
}

void Hauptfenster::closeEvent(QCloseEvent* e) {
    QSettings einst;
    einst.setValue(QStringLiteral("fenster/geometrie"), saveGeometry());
    einst.setValue(QStringLiteral("fenster/zustand"), saveState());
    if (m_sitzung.istOffen() && m_navigation->currentRow() >= 0)
        einst.setValue(QStringLiteral("fenster/ansicht"), m_ansichten[m_navigation->currentRow()].first);
    e->accept();
}

void Hauptfenster::menusAnlegen() {
    QMenu* datei = menuBar()->addMenu(QStringLiteral("&Datei"));
    QAction* neu = datei->addAction(fenster::symbol("document-new", QStyle::SP_FileIcon), QStringLiteral("&Neuer Fall …"), this,
                                    &Hauptfenster::neuerFallDialog);
    neu->setShortcut(QKeySequence::New);
    QAction* oeffnen = datei->addAction(fenster::symbol("document-open", QStyle::SP_DialogOpenButton), QStringLiteral("Fall ö&ffnen …"), this,
                                        &Hauptfenster::dateiOeffnenDialog);
    oeffnen->setShortcut(QKeySequence::Open);
    m_zuletzt = datei->addMenu(fenster::symbol("document-open-recent", QStyle::SP_DirOpenIcon), QStringLiteral("&Zuletzt geöffnet"));
    datei->addAction(fenster::symbol("wallet-open", QStyle::SP_DriveHDIcon), QStringLiteral("&Kassenfall aus Übergabedatei anlegen …"), this,
                     [this] { kassenfallAnlegen(); });
    datei->addSeparator();
    QAction* wechsel = datei->addAction(fenster::symbol("go-next", QStyle::SP_ArrowForward), QStringLiteral("&Jahreswechsel …"), this,
                                        &Hauptfenster::jahreswechselDialog);
    m_nurMitFall.append(wechsel);
    QAction* schliessen = datei->addAction(fenster::symbol("document-close", QStyle::SP_DialogCloseButton), QStringLiteral("Fall &schließen"), this,
                                           [this] { m_sitzung.schliessen(); });
    schliessen->setShortcut(QKeySequence::Close);
    m_nurMitFall.append(schliessen);
    datei->addSeparator();
    QAction* beenden = datei->addAction(fenster::symbol("application-exit", QStyle::SP_DialogCloseButton), QStringLiteral("&Beenden"), this,
                                        &QWidget::close);
    beenden->setShortcut(QKeySequence::Quit);

    m_ansichtMenu = menuBar()->addMenu(QStringLiteral("&Ansicht"));
    for (int i = 0; i < m_ansichten.size(); ++i) {
        Ansicht* a = m_ansichten[i].second;
        QAction* act = m_ansichtMenu->addAction(a->symbol(), a->titel(), this, [this, i] { m_navigation->setCurrentRow(i); });
        if (i < 9) act->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_1 + i));
        if (i > 0) m_nurMitFall.append(act);
    }
    m_ansichtMenu->addSeparator();
    QAction* neuLesen = m_ansichtMenu->addAction(fenster::symbol("view-refresh", QStyle::SP_BrowserReload), QStringLiteral("&Neu einlesen"), this,
                                                 &Hauptfenster::alleAktualisieren);
    neuLesen->setShortcut(QKeySequence::Refresh);

    QMenu* extras = menuBar()->addMenu(QStringLiteral("E&xtras"));
    QAction* einst = extras->addAction(fenster::symbol("preferences-system", QStyle::SP_FileDialogInfoView), QStringLiteral("&Einstellungen und Firmendaten …"),
                                       this, &Hauptfenster::einstellungenDialog);
    m_nurMitFall.append(einst);

    QMenu* hilfe = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    QAction* handbuch = hilfe->addAction(fenster::symbol("help-contents", QStyle::SP_DialogHelpButton), QStringLiteral("&Handbuch (README)"), this,
                                         &Hauptfenster::hilfeAnzeigen);
    handbuch->setShortcut(QKeySequence::HelpContents);
    hilfe->addAction(fenster::symbol("help-about", QStyle::SP_MessageBoxInformation), QStringLiteral("Ü&ber dalvo"), this, &Hauptfenster::ueberAnzeigen);
}

void Hauptfenster::zuletztMenuFuellen() {
    m_zuletzt->clear();
    const QStringList liste = zuletztGeoeffnet();
    for (int i = 0; i < liste.size(); ++i)
        m_zuletzt->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(liste[i]), this, [this, p = liste[i]] { fallOeffnen(p); });
    m_zuletzt->setEnabled(!liste.isEmpty());
}

QStringList Hauptfenster::zuletztGeoeffnet() {
    QStringList liste;
    for (const QString& p : QSettings().value(kZuletzt).toStringList())
        if (QFileInfo::exists(p)) liste.append(p);
    return liste;
}

void Hauptfenster::zuletztMerken(const QString& pfad) {
    QStringList liste = QSettings().value(kZuletzt).toStringList();
    liste.removeAll(pfad);
    liste.prepend(pfad);
    while (liste.size() > kZuletztAnzahl) liste.removeLast();
    QSettings().setValue(kZuletzt, liste);
}

bool Hauptfenster::fallOeffnen(const QString& pfad) {
    QString fehler;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = m_sitzung.oeffnen(pfad, &fehler);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        GetUi().rsError(fehler, QStringLiteral("Fehler"));
        return false;
    }
    zuletztMerken(m_sitzung.pfad());
    // The view the user worked in last; only it reads now (the overview of
    // a large case takes a moment, the ledger's first page does not).
    QString zuletzt = QSettings().value(QStringLiteral("fenster/ansicht")).toString();
    if (!ansicht(zuletzt)) zuletzt = QStringLiteral("start");
    navigationFreigeben();
    zeige(zuletzt);
    titelSetzen();
    return true;
}

void Hauptfenster::dateiOeffnenDialog() {
    const QString start = m_sitzung.istOffen() ? QFileInfo(m_sitzung.pfad()).absolutePath() : QDir::homePath();
    const QString pfad = QFileDialog::getOpenFileName(this, QStringLiteral("Fall öffnen"), start,
                                                      QStringLiteral("Falldateien (*.dalvo);;Alle Dateien (*)"));
    if (!pfad.isEmpty()) fallOeffnen(pfad);
}

void Hauptfenster::neuerFallDialog() {
    NeuerFallDialog::Angaben angaben;
    if (m_sitzung.istOffen()) angaben.fall.jahr = m_sitzung.steuerjahr();
    if (!NeuerFallDialog::fragen(this, &angaben)) return;
    // Writing a case needs the module for itself: the open case closes.
    const QString bisher = m_sitzung.pfad();
    m_sitzung.schliessen();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString grund = NeuerFallDialog::anlegen(angaben);
    QApplication::restoreOverrideCursor();
    if (!grund.isEmpty()) {
        GetUi().rsError(grund);
        if (!bisher.isEmpty()) fallOeffnen(bisher);
        return;
    }
    fallOeffnen(angaben.pfad);
}

bool Hauptfenster::kassenfallAnlegen(const QString& vorgabeDatei, const QString& vorgabePfad) {
    const QString start = m_sitzung.istOffen() ? QFileInfo(m_sitzung.pfad()).absolutePath() : QDir::homePath();
    const QString datei = !vorgabeDatei.isEmpty() ? vorgabeDatei
                                                  : QFileDialog::getOpenFileName(this, QStringLiteral("Übergabedatei der Kasse"), start,
                                                                                 QStringLiteral("Kassen (*.kasse);;Alle Dateien (*)"));
    if (datei.isEmpty()) return false;
    QString pfad = vorgabePfad;
    if (pfad.isEmpty()) {
        pfad = QFileDialog::getSaveFileName(this, QStringLiteral("Neuer Kassenfall"),
                                            QDir(QFileInfo(datei).absolutePath()).filePath(QFileInfo(datei).completeBaseName() + QStringLiteral(".dalvo")),
                                            QStringLiteral("Falldateien (*.dalvo)"), nullptr, QFileDialog::DontConfirmOverwrite);
        if (pfad.isEmpty()) return false;
        if (!pfad.endsWith(QLatin1String(".dalvo"))) pfad += QStringLiteral(".dalvo");
    }
    // Writing a case needs the module for itself: the open case closes.
    const QString bisher = m_sitzung.pfad();
    m_sitzung.schliessen();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString grund = fenster::kassenfallAnlegen(datei, pfad);
    QApplication::restoreOverrideCursor();
    if (!grund.isEmpty()) {
        GetUi().rsError(grund);
        if (!bisher.isEmpty()) fallOeffnen(bisher);
        return false;
    }
    if (bisher.isEmpty() || GetUi().frage(QStringLiteral("Der Kassenfall wurde angelegt:<br>%1<br><br>Jetzt öffnen?").arg(pfad.toHtmlEscaped()),
                                          QStringLiteral("Kassenfall")))
        fallOeffnen(pfad);
    else
        fallOeffnen(bisher);
    return true;
}

void Hauptfenster::jahreswechselDialog() {
    if (!m_sitzung.istOffen()) return;
    const QString pfad = JahreswechselAssistent::ausfuehren(m_sitzung, this);
    alleAktualisieren();
    if (!pfad.isEmpty() &&
        GetUi().frage(QStringLiteral("Der Fall des neuen Jahres wurde angelegt:<br>%1<br><br>Jetzt öffnen?").arg(pfad.toHtmlEscaped()),
                   QStringLiteral("Jahreswechsel")))
        fallOeffnen(pfad);
}

void Hauptfenster::einstellungenDialog() {
    if (m_sitzung.istOffen()) EinstellungenDialog::ausfuehren(m_sitzung, this);
}

void Hauptfenster::hilfeAnzeigen() {
    // The README beside the program (installed) or in the source tree.
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString& p : {dir + QStringLiteral("/README.md"), dir + QStringLiteral("/../README.md")})
        if (QFileInfo::exists(p)) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(p).absoluteFilePath()));
            return;
        }
    GetUi().Hinweis(QStringLiteral("Das Handbuch steht in der Datei README.md des Programms, Abschnitt „Das Fenster“."), QStringLiteral("Hilfe"));
}

void Hauptfenster::ueberAnzeigen() {
    QMessageBox::about(this, QStringLiteral("Über dalvo"),
                       QStringLiteral("<h3>dalvo %1</h3><p>Buchhaltung für Selbständige: Einnahmenüberschussrechnung, "
                                      "Umsatzsteuer-Voranmeldung, Zusammenfassende Meldung.</p>")
                           .arg(QStringLiteral(DALVO_VERSION)));
}

bool Hauptfenster::zeige(const QString& schluessel) {
    for (int i = 0; i < m_ansichten.size(); ++i)
        if (m_ansichten[i].first == schluessel) {
            if (i > 0 && !m_sitzung.istOffen()) return false;
            if (m_navigation->currentRow() == i) {
                m_ansichten[i].second->aktualisieren();
            } else {
                m_navigation->setCurrentRow(i);
            }
            return true;
        }
    return false;
}

Ansicht* Hauptfenster::ansicht(const QString& schluessel) const {
    for (const auto& [s, a] : m_ansichten)
        if (s == schluessel) return a;
    return nullptr;
}

Ansicht* Hauptfenster::aktuelleAnsicht() const { return qobject_cast<Ansicht*>(m_stapel->currentWidget()); }

QStringList Hauptfenster::schluessel() const {
    QStringList l;
    for (const auto& e : m_ansichten) l.append(e.first);
    return l;
}

void Hauptfenster::zeigeBuchungen(const BuchungsFilter& filter) {
    Ansicht* buchungen = ansicht(QStringLiteral("buchungen"));
    if (!buchungen) return;
    buchungen->filterSetzen(filter);
    zeige(QStringLiteral("buchungen"));
}

void Hauptfenster::titelSetzen() {
    Ansicht* a = aktuelleAnsicht();
    if (!m_sitzung.istOffen()) {
        setWindowTitle(QStringLiteral("dalvo"));
        m_statusFall->setText(QStringLiteral("Kein Fall geöffnet"));
        m_statusJahr->clear();
        m_statusFest->clear();
        return;
    }
    const QString fest = m_sitzung.festgeschriebenBis().isValid() ? m_sitzung.festgeschriebenBis().getText() : QStringLiteral("–");
    setWindowTitle(QStringLiteral("%1 — %2 %3 — %4 — dalvo")
                       .arg(a ? a->titel() : QString(), m_sitzung.betriebsname())
                       .arg(m_sitzung.steuerjahr())
                       .arg(QFileInfo(m_sitzung.pfad()).fileName()));
    m_statusFall->setText(m_sitzung.pfad());
    m_statusJahr->setText(QStringLiteral("Steuerjahr %1").arg(m_sitzung.steuerjahr()));
    m_statusFest->setText(QStringLiteral("Festgeschrieben bis %1").arg(fest));
}

void Hauptfenster::navigationFreigeben() {
    const bool offen = m_sitzung.istOffen();
    for (int i = 1; i < m_navigation->count(); ++i) m_navigation->item(i)->setHidden(!offen);
    for (QAction* a : m_nurMitFall) a->setEnabled(offen);
    zuletztMenuFuellen();
}

void Hauptfenster::alleAktualisieren() {
    navigationFreigeben();
    if (!m_sitzung.istOffen() && m_navigation->currentRow() != 0) {
        m_navigation->setCurrentRow(0);
    } else if (m_navigation->currentRow() < 0) {
        m_navigation->setCurrentRow(0);
    } else if (Ansicht* a = aktuelleAnsicht()) {
        // Only the visible view reads now; the others read when shown.
        a->aktualisieren();
    }
    titelSetzen();
}

}  // namespace fenster
