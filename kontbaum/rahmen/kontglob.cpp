// KontoGlobal: per-slot state, lifecycle, report-parameter cache and special
// accounts. The database side of the manager lives in datenbank.cpp.
#include "kontbaum/rahmen/kontglob.h"

#include "host/app/global.h"
#include "host/app/log.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/datenbase.h"
#include "host/values/datehelper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
KontoGlobal::ReportNodeResolver& resolver() {
    static KontoGlobal::ReportNodeResolver r;
    return r;
}

// Without an installed resolver the settings are read from the case's own
// data tree. The settings nodes name their variables with a family prefix
// ("ausw2_VonKonto"); the cache asks for the plain field name, so each value
// is offered under both.
bool resolveNode(const QString& path, QVariantMap& values) {
    values.clear();
    if (resolver()) return resolver()(path, values);
    DatenBase* node = DatenBase::GetDB(path);
    if (!node) return false;
    const QVariantMap all = node->werte();
    for (auto it = all.begin(); it != all.end(); ++it) {
        values.insert(it.key(), it.value());
        const int pos = it.key().indexOf(QLatin1Char('_'));
        if (pos > 0) values.insert(it.key().mid(pos + 1), it.value());
    }
    return true;
}

void destroyManager(int slot) { GetKontoGlobal(slot, true); }

// The connection a null connection stands for: the active case's.
DBConnection* aktiveFallVerbindung() {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->GetDBConnect_Ptr() : nullptr;
}

// Registers the manager deleter with the host once, so that resetting the
// global instance destroys managers through GetKontoGlobal, and tells the
// database layer where the active case's connection is.
struct DeleterRegistration {
    DeleterRegistration() {
        GlobalInst_setManagerDeleter(&destroyManager);
        rsSetFallDBQuelle(&aktiveFallVerbindung);
    }
} g_deleterRegistration;

// The clean-ups of other subsystems (KontoGlobal::beimFreigeben). A plain
// array: filled during the library's static initialisation in any order of
// its files, and never destroyed before the last manager.
constexpr int kMaxFreigaben = 8;
void (*g_freigaben[kMaxFreigaben])() = {};
int g_anzahlFreigaben = 0;
}  // namespace

void KontoGlobal::beimFreigeben(void (*freigeben)()) {
    if (!freigeben) return;
    for (int i = 0; i < g_anzahlFreigaben; ++i)
        if (g_freigaben[i] == freigeben) return;
    if (g_anzahlFreigaben < kMaxFreigaben) g_freigaben[g_anzahlFreigaben++] = freigeben;
    else rs_logAssert(QStringLiteral("kontbaum/kontglob"), __LINE__, QStringLiteral("g_anzahlFreigaben < kMaxFreigaben"));
}

void DALVO_ExportFunction() {}

KontoGlobal* GetKontoGlobal(int slot, bool destroy) {
    GlobalInst& g = GetGlobal();
    if (slot == -1) slot = g.GetActiveSteuer();
    if (slot < 0 || slot >= GlobalInst::kManagerSlots) return nullptr;
    KontoGlobal* kg = g.GetKontoGlobalPtr(slot);
    if (destroy) {
        if (kg) {
            g.SetKontoGlobalPtr(nullptr, slot);
            delete kg;
        }
        return nullptr;
    }
    if (!kg) {
        kg = new KontoGlobal(slot);
        g.SetKontoGlobalPtr(kg, slot);
    }
    return kg;
}

KontoGlobal::KontoGlobal(int slot) : m_slot(slot) {
    GlobalInst& g = GetGlobal();
    if (m_slot == -1) m_slot = g.GetActiveSteuer();
    m_KontoTempDir = getDBDir(m_slot);
    if (m_slot == 0 || g.IsImport() != 0) g.SetDB_Dir(m_KontoTempDir, GlobalInst::kCaseConnection);
    // A pre-conversion copy left behind by a crash would block the next conversion.
    const QString stale = m_KontoTempDir + QStringLiteral("belka16db.vj");
    if (QFile::exists(stale)) QFile::remove(stale);
    m_wordExists = false;  // no office suite on this platform
    m_mdb_name.clear();
    m_con = nullptr;
    Clear();
}

KontoGlobal::~KontoGlobal() {
    Clear();
    for (int i = 0; i < g_anzahlFreigaben; ++i) g_freigaben[i]();
    if (!existsImportDB()) {
        QDir dir(m_KontoTempDir);
        if (dir.exists() && dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
            dir.rmdir(dir.absolutePath());
    }
}

void KontoGlobal::Clear() {
    m_Kontenplan.clear();
    m_UstPflicht = true;
    m_Kassenkonto = 0;
    m_Jahresabschluss = 0;
    m_Steuerjahr = 2016;
    m_DueMitJahreswechsel = 0;
    m_DoUpdateDB = false;
    m_EurUID.clear();
    m_DatenuebernahmeUID.clear();
    m_DatenuebernahmeFile.clear();
    ClearFormularData();
    m_Spezialkonten.clear();
    // Temporary export files (CSV, ZM, cash-register exchange) are written
    // into the working directory with the prefix "export_"; they never
    // outlive the case.
    QDir dir(m_KontoTempDir);
    if (!m_KontoTempDir.isEmpty() && dir.exists()) {
        for (const QString& f : dir.entryList({QStringLiteral("export_*")}, QDir::Files)) dir.remove(f);
    }
    destroyConnectionKonto();
}

int KontoGlobal::getJahresabschluss() const {
    if (m_Steuerjahr != 0 && m_Steuerjahr < 2015) return 2;
    return m_Jahresabschluss != 0 ? 1 : 0;
}

int KontoGlobal::toggleJahresabschluss() {
    setJahresabschluss(getJahresabschluss() != 0 ? 0 : 1);
    return 1;
}

QString KontoGlobal::getJahresabschlussgrund(int lang, const KontoGlobal* kg) {
    if (!kg) kg = GetKontoGlobal(-1, false);
    if (!kg) return QString();
    switch (kg->getJahresabschluss()) {
    case 2:
        return lang == 1 ? QStringLiteral("Dies ist eine Datei aus früheren Jahren. Die Daten können nur eingesehen, "
                                          "aber nicht bearbeitet werden.")
                         : QStringLiteral("Dies ist eine Datei aus früheren Jahren.");
    case 1:
        return lang == 1 ? QStringLiteral("Der Jahresabschluss wurde bereits durchgeführt, es sind keine Änderungen "
                                          "mehr möglich.")
                         : QStringLiteral("Der Jahresabschluss wurde bereits durchgeführt.");
    default:
        return QString();
    }
}

// --- persisted settings ------------------------------------------------------

void KontoGlobal::setSteuerjahr(int y) {
    const bool changed = y != m_Steuerjahr;
    m_Steuerjahr = y;
    if (changed) updateYear();
    setFalleigenschaft(QStringLiteral("Steuerjahr"), QString::number(y), m_con);
}

void KontoGlobal::setUstPflicht(bool b) {
    m_UstPflicht = b;
    setFalleigenschaft(QStringLiteral("UstPflicht"), QString::number(b ? 1 : 0), m_con);
}

void KontoGlobal::setJahresabschluss(int v) {
    m_Jahresabschluss = v;
    setFalleigenschaft(QStringLiteral("Jahresabschluss"), QString::number(v), m_con);
}

void KontoGlobal::setKontenplanName(const QString& name) {
    if (name != m_Kontenplan) m_Spezialkonten.clear();
    m_Kontenplan = name;
    setFalleigenschaft(QStringLiteral("Kontenplan"), name, m_con);
}

void KontoGlobal::setEurUID(const QString& uid) {
    m_EurUID = uid;
    setFalleigenschaft(QStringLiteral("EurUID"), uid, m_con);
}

void KontoGlobal::setDatenuebernahmeUID(const QString& uid) {
    m_DatenuebernahmeUID = uid;
    setFalleigenschaft(QStringLiteral("DueUID"), uid, m_con);
}

void KontoGlobal::updateYear() {
    GlobalInst& g = GetGlobal();
    if (g.IsImport() == 99 || g.IsImport() == 88) return;
    g.setSteuerjahr(m_Steuerjahr);
    m_Spezialkonten.clear();
    DateHelper::setDefaultYear(m_Steuerjahr);
    g.SetRebuildGUI(true);
    // The invoicing number ranges follow the year; they are refreshed by the
    // invoicing code once it exists in this module.
}

bool KontoGlobal::isFestschreibungUStVAHinweisNoetig() {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg && kg->getUstPflicht();
}

// --- report-parameter cache --------------------------------------------------

void KontoGlobal::setReportNodeResolver(ReportNodeResolver r) { resolver() = std::move(r); }

void KontoGlobal::ClearFormularData() {
    m_Formular = -1;
    m_param[0] = 3;
    m_param[1] = -1;
    m_param[2] = -1;
    m_FormularAnzahl = 1;
    m_FormularErgebnis = 0;
    m_AktiveKonten = false;
    m_AktiveKontenModus = 0;
    m_vonKonto = 0;
    m_bisKonto = 0;
    m_EinzelkontenNachweis = false;
    const bool kunden[7] = {true, false, true, false, false, false, false};
    for (int i = 0; i < 7; ++i) m_kundenFlags[i] = kunden[i];
    m_kundenText.clear();
    m_kundenListe.clear();
    for (bool& b : m_artikelFlags) b = false;
    m_artikelText.clear();
    m_artikelListe.clear();
    m_fakturaListe.clear();
    for (int& i : m_fakturaInt) i = 0;
    m_fakturaVon = zDate();
    m_fakturaBis = zDate();
    m_fakturaFlag = false;
    m_AnalyseFlag = false;
    m_NeueSeite = false;
    m_Zeitraum.clear();
    m_AnalyseFlag2 = false;
    m_AnalyseFlag3 = false;
    m_AnalyseBetrag = EuroType();
    m_AnalyseText.clear();
}

namespace {
// Node path of the report settings per form code (empty: no node).
QString reportNodePath(int code) {
    switch (code) {
    case 4: return QStringLiteral("Kont_[M]\\Ausw002_(3)");
    case 6: return QStringLiteral("Kont_[M]\\Ausw002_(4)");
    case 7: return QStringLiteral("Kont_[M]\\Ausw002_(1)");
    case 8: return QStringLiteral("Kont_[M]\\Ausw002_(2)");
    case 9: return QStringLiteral("Kont_[M]\\Ausw002_(8)");
    case 10: return QStringLiteral("Kont_[M]\\Ausw002_(5)");
    case 11:
    case 34: return QStringLiteral("Kont_[M]\\Ausw002_(6)");
    case 14: return QStringLiteral("Kont_[M]\\Ausw002_(7)");
    case 15: return QStringLiteral("Kont_[M]\\Ausw002_(9)");
    case 12: return QStringLiteral("Kont_[M]\\Ausw006_");
    case 13: return QStringLiteral("Kont_[M]\\Ausw005_");
    case 20: return QStringLiteral("Kont_[M]\\Ana002_(1)");
    case 21: return QStringLiteral("Kont_[M]\\Ana002_(2)");
    case 22: return QStringLiteral("Kont_[M]\\Ana002_(3)");
    case 23: return QStringLiteral("Kont_[M]\\Ana002_(4)");
    case 30: return QStringLiteral("Kont_[M]\\Reba001_");
    case 31: return QStringLiteral("Kont_[M]\\Reba002_");
    case 32: return QStringLiteral("Kont_[M]\\Reba003_");
    default: return QString();
    }
}

rsPeriod periodOf(const QVariantMap& v) {
    return rsPeriod(zDate(v.value(QStringLiteral("Von")).toDate()), zDate(v.value(QStringLiteral("Bis")).toDate()));
}
}  // namespace

void KontoGlobal::SetFormular(int code) {
    if (m_Formular == 0 && code > 0) return;
    m_Formular = code;
    const QString path = reportNodePath(code);
    QVariantMap v;
    if (path.isEmpty() || !resolveNode(path, v)) return;  // defaults stay

    auto b = [&v](const char* k) { return v.value(QLatin1String(k)).toBool(); };
    auto i = [&v](const char* k) { return v.value(QLatin1String(k)).toInt(); };
    switch (code) {
    case 4: case 6: case 7: case 8: case 9: case 10: case 11: case 34: case 14: case 15:
        if (b("AlleKonten")) {
            m_AktiveKonten = true;
            m_vonKonto = 0;
            m_bisKonto = 0;
        } else {
            m_AktiveKonten = false;
            m_vonKonto = i("VonKonto");
            m_bisKonto = i("BisKonto");
        }
        // The node stores the list indexes of its choices; the cache keeps the codes.
        m_param[0] = i("Parameter1") + 1;
        m_param[1] = i("Parameter2") - 1;
        m_param[2] = i("Parameter3") - 1;
        m_Zeitraum = periodOf(v);
        m_EinzelkontenNachweis = b("EinzelkontenNachweis");
        m_AnalyseFlag = b("Analyse");
        m_NeueSeite = b("NeueSeite");
        break;
    case 12:
        m_AktiveKonten = b("AktiveKonten");
        m_AktiveKontenModus = (b("Option1") ? 2 : 0) | (b("Option2") ? 4 : 0) | (b("Option3") ? 8 : 0) |
                              (b("Option4") ? 16 : 0);
        m_vonKonto = i("VonKonto");
        m_bisKonto = i("BisKonto");
        break;
    case 13:
        m_AktiveKonten = true;
        break;
    case 20: case 21: case 22: case 23:
        m_Zeitraum = periodOf(v);
        m_AnalyseFlag2 = b("Flag1");
        m_AnalyseFlag3 = b("Flag2");
        m_AnalyseFlag = b("Flag3");
        m_AnalyseBetrag = EuroType::ausDouble(v.value(QStringLiteral("Betrag")).toDouble());
        m_vonKonto = i("VonKonto");
        m_bisKonto = i("BisKonto");
        m_AnalyseText = v.value(QStringLiteral("Text")).toString();
        break;
    case 30:
        for (int k = 0; k < 7; ++k) m_kundenFlags[k] = v.value(QStringLiteral("Option%1").arg(k + 1)).toBool();
        m_kundenText = v.value(QStringLiteral("Text")).toString();
        m_kundenListe = v.value(QStringLiteral("Liste")).toStringList();
        break;
    case 31:
        for (int k = 0; k < 8; ++k) m_artikelFlags[k] = v.value(QStringLiteral("Option%1").arg(k + 1)).toBool();
        m_artikelText = v.value(QStringLiteral("Text")).toString();
        m_artikelListe = v.value(QStringLiteral("Liste")).toStringList();
        break;
    case 32:
        m_fakturaListe = v.value(QStringLiteral("Liste")).toStringList();
        m_fakturaInt[0] = i("Wert1");
        m_fakturaInt[1] = i("Wert2");
        m_fakturaInt[2] = i("Wert3");
        m_fakturaVon = periodOf(v).von();
        m_fakturaBis = periodOf(v).bis();
        m_fakturaFlag = b("Flag");
        break;
    default:
        break;
    }
}

void KontoGlobal::ResetFormular(int code) {
    ClearFormularData();
    SetFormular(code);
}

int KontoGlobal::GetFormularData(int& p1, int& p2, int& p3, int code) {
    SetFormular(code);
    p1 = m_param[0];
    p2 = m_param[1];
    p3 = m_param[2];
    return m_FormularErgebnis;
}

int KontoGlobal::GetAnalyseFormularData(bool& f1, bool& f2, rsPeriod& zeitraum, bool& f3, unsigned& von,
                                        unsigned& bis, EuroType& betrag, QString& text, int formular) {
    SetFormular(formular);
    f1 = m_AnalyseFlag2;
    f2 = m_AnalyseFlag3;
    zeitraum = m_Zeitraum;
    f3 = m_AnalyseFlag;
    von = unsigned(m_vonKonto);
    bis = unsigned(m_bisKonto);
    betrag = m_AnalyseBetrag;
    text = m_AnalyseText;
    return 0;
}

int KontoGlobal::GetAktiveKonten(bool& aktiv, int& modus, int& von, int& bis) {
    aktiv = m_AktiveKonten;
    modus = m_AktiveKontenModus;
    von = m_vonKonto;
    bis = m_bisKonto;
    return 1;
}

int KontoGlobal::GetAnmeldeZeitraum() const {
    // The three parameters are (period kind, quarter index, month index)
    // everywhere: the VAT figures and the balance list read them in that
    // order, so the filing period must too, or a monthly return would be
    // filed for the month of another period's index.
    if (m_param[0] == 1) return m_param[2] + 1;
    if (m_param[0] == 2) return m_param[1] + 41;
    return 19;
}

void KontoGlobal::GetRebKundenlisteDaten(bool (&flags)[7], QString& text, rsStringList& liste) const {
    for (int i = 0; i < 7; ++i) flags[i] = m_kundenFlags[i];
    text = m_kundenText;
    liste = m_kundenListe;
}

void KontoGlobal::GetRebArtikellisteDaten(bool (&flags)[8], QString& text, rsStringList& liste) const {
    for (int i = 0; i < 8; ++i) flags[i] = m_artikelFlags[i];
    text = m_artikelText;
    liste = m_artikelListe;
}

void KontoGlobal::GetRebFakturierungslisteDaten(rsStringList& liste, int& a, int& b, int& c, zDate& von, zDate& bis,
                                                bool& flag) const {
    liste = m_fakturaListe;
    a = m_fakturaInt[0];
    b = m_fakturaInt[1];
    c = m_fakturaInt[2];
    von = m_fakturaVon;
    bis = m_fakturaBis;
    flag = m_fakturaFlag;
}

// --- special accounts --------------------------------------------------------

QString KontoGlobal::gueltigkeitsBedingung(int steuerjahr, const QString& alias) {
    const QString p = alias.isEmpty() ? QString() : alias + QLatin1Char('.');
    const QString d = rsDataSource::toSqlStr(zDate(steuerjahr, 12, 31));
    return QStringLiteral(" %1gueltig_ab <= %2 AND (%1gueltig_bis = %3 OR %1gueltig_bis IS NULL OR %1gueltig_bis >= %2) ")
        .arg(p, d, rsDataSource::toSqlStr(zDate()));
}

namespace {
// Column of the reference chart that carries a chart's numbers: the
// simplified chart EKR03 shares the SKR03 numbers.
QString frameworkColumn(const QString& chart) {
    if (chart.compare(QLatin1String("EKR03"), Qt::CaseInsensitive) == 0) return QStringLiteral("SKR03");
    return chart;
}

bool isSafeIdentifier(const QString& s) {
    if (s.isEmpty()) return false;
    for (QChar c : s)
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_'))) return false;
    return true;
}
}  // namespace

void KontoGlobal::fillSpezialKontoMap(int) {
    if (!m_Spezialkonten.isEmpty() || m_Kontenplan.isEmpty()) return;
    const QString col = frameworkColumn(m_Kontenplan);
    // The chart name becomes a column name; a name that is not a plain
    // identifier cannot be a chart and must never reach the SQL text.
    if (!isSafeIdentifier(col)) return;
    DBConnection* ref = GetGlobal().GetDBConnect_Ptr(GlobalInst::kReferenceConnection);
    if (!ref) return;
    rsDataSource rs(ref, QStringLiteral("SELECT SKR03, ") + col +
                             QStringLiteral(" as MapTo FROM Kontenrahmen AS k1 WHERE necessary<>0 ") +
                             QStringLiteral(" AND ") + gueltigkeitsBedingung(m_Steuerjahr));
    for (; !rs.isEOF(); rs.fetch()) {
        const unsigned long from = rs.field(QStringLiteral("SKR03")).toULong();
        const unsigned long to = rs.field(QStringLiteral("MapTo")).toULong();
        if (from != 0) m_Spezialkonten.insert(from, to);
    }
    ref->getErr()->clear();
}

unsigned long KontoGlobal::getSpezialKonto(unsigned long skr03) {
    fillSpezialKontoMap();
    auto it = m_Spezialkonten.constFind(skr03);
    return it == m_Spezialkonten.constEnd() ? skr03 : it.value();
}

bool KontoGlobal::isSpezialKonto(unsigned long konto) {
    fillSpezialKontoMap();
    if (m_Kontenplan == QLatin1String("SKR03") || m_Kontenplan == QLatin1String("EKR03"))
        return m_Spezialkonten.contains(konto);
    for (auto it = m_Spezialkonten.constBegin(); it != m_Spezialkonten.constEnd(); ++it)
        if (it.value() == konto) return true;
    return false;
}
