// The compartments of a bucket sort (see faecher.h).
#include "host/db/faecher.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"

#include <QTemporaryFile>

#include <algorithm>
#include <cstring>

Faecher::Faecher(int speicher, int hoechstens) : m_speicher(speicher), m_hoechstens(hoechstens) {}

Faecher::~Faecher() = default;

bool Faecher::ablegen(const QByteArray& schluessel, const QByteArray& satz) {
    if (m_fehler) return false;
    int i = m_letztes;
    if (i < 0 || m_schluessel[i] != schluessel) {
        auto it = m_index.constFind(schluessel);
        if (it == m_index.constEnd()) {
            if (m_schluessel.size() >= m_hoechstens) {
                m_fehler = true;
                return false;
            }
            it = m_index.insert(schluessel, m_schluessel.size());
            m_schluessel.append(schluessel);
            m_faecher.append(Fach());
        }
        i = *it;
        m_letztes = i;
    }
    const qint32 laenge = satz.size();
    QByteArray& p = m_faecher[i].puffer;
    p.append(reinterpret_cast<const char*>(&laenge), sizeof laenge);
    p.append(satz);
    m_belegt += qint64(sizeof laenge) + laenge;
    return m_belegt < m_speicher || auslagern();
}

bool Faecher::auslagern() {
    if (!m_datei) {
        m_datei = std::make_unique<QTemporaryFile>();
        if (!m_datei->open()) {
            m_fehler = true;
            return false;
        }
    }
    for (Fach& f : m_faecher) {
        if (f.puffer.isEmpty()) continue;
        const qint64 ort = m_datei->pos();
        if (m_datei->write(f.puffer) != f.puffer.size()) {
            m_fehler = true;
            return false;
        }
        f.stuecke.append({ort, f.puffer.size()});
        f.puffer.clear();
    }
    m_belegt = 0;
    return true;
}

bool Faecher::lesen(const std::function<void(const QByteArray& schluessel, const QByteArray& satz)>& je) {
    if (m_fehler) return false;
    QVector<int> folge(m_schluessel.size());
    for (int i = 0; i < folge.size(); ++i) folge[i] = i;
    std::sort(folge.begin(), folge.end(), [&](int a, int b) { return m_schluessel[a] < m_schluessel[b]; });
    auto saetze = [&](const QByteArray& schluessel, const QByteArray& block) {
        for (int pos = 0; pos + int(sizeof(qint32)) <= block.size();) {
            qint32 laenge = 0;
            std::memcpy(&laenge, block.constData() + pos, sizeof laenge);
            pos += sizeof laenge;
            je(schluessel, QByteArray::fromRawData(block.constData() + pos, laenge));
            pos += laenge;
        }
    };
    QByteArray block;
    for (int i : folge) {
        const Fach& f = m_faecher[i];
        for (const QPair<qint64, int>& s : f.stuecke) {
            block.resize(s.second);
            if (!m_datei->seek(s.first) || m_datei->read(block.data(), s.second) != s.second) return false;
            saetze(m_schluessel[i], block);
        }
        saetze(m_schluessel[i], f.puffer);
    }
    return true;
}

void FachSatz::zahl(qint64 v) {
    // Zigzag, so that small negative numbers stay short too.
    quint64 u = (quint64(v) << 1) ^ quint64(v >> 63);
    while (u >= 0x80) {
        m_b->append(char(u | 0x80));
        u >>= 7;
    }
    m_b->append(char(u));
}

void FachSatz::text(const QString& t) {
    zahl(t.size());
    m_b->append(reinterpret_cast<const char*>(t.constData()), t.size() * int(sizeof(QChar)));
}

void FachSatz::wert(const DatenTyp& w) {
    zahl(w.art());
    switch (w.art()) {
    case DatenTyp::Null:
        break;
    case DatenTyp::Int:
        zahl(w.toLongLong());
        break;
    case DatenTyp::Double: {
        const double d = w.toDouble();
        m_b->append(reinterpret_cast<const char*>(&d), sizeof d);
        break;
    }
    case DatenTyp::Blob: {
        const QByteArray b = w.toBlob();
        zahl(b.size());
        m_b->append(b);
        break;
    }
    default:
        text(w.toString());
    }
}

qint64 FachSatzLeser::zahl() {
    quint64 u = 0;
    for (int shift = 0; m_p < m_ende && shift < 64; shift += 7) {
        const quint8 c = quint8(*m_p++);
        u |= quint64(c & 0x7f) << shift;
        if (!(c & 0x80)) break;
    }
    return qint64(u >> 1) ^ -qint64(u & 1);
}

QString FachSatzLeser::text() {
    const int n = int(qBound<qint64>(0, zahl(), (m_ende - m_p) / qint64(sizeof(QChar))));
    QString t(n, Qt::Uninitialized);
    std::memcpy(t.data(), m_p, size_t(n) * sizeof(QChar));
    m_p += n * sizeof(QChar);
    return t;
}

DatenTyp FachSatzLeser::wert() {
    switch (zahl()) {
    case DatenTyp::Null:
        return DatenTyp();
    case DatenTyp::Int:
        return DatenTyp(qlonglong(zahl()));
    case DatenTyp::Double: {
        double d = 0;
        if (m_ende - m_p >= qint64(sizeof d)) std::memcpy(&d, m_p, sizeof d);
        m_p += qMin<qint64>(sizeof d, m_ende - m_p);
        return DatenTyp(d);
    }
    case DatenTyp::Blob: {
        const int n = int(qBound<qint64>(0, zahl(), m_ende - m_p));
        const QByteArray b(m_p, n);
        m_p += n;
        return DatenTyp::fromBlob(b);
    }
    default:
        return DatenTyp(text());
    }
}

namespace Tabellenfolge {

bool lohnt(DBConnection* db, const QString& tabelle, const QString& bedingung) {
    const qint64 hoechste = GetDatenTyp(db, QStringLiteral("SELECT MAX(rowid) FROM ") + tabelle).toLongLong();
    const qint64 viertel = qMax<qint64>(1, hoechste / 4);
    return GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM ") + tabelle + bedingung + QStringLiteral(" LIMIT ") +
                               rsDataSource::toSqlStr(viertel) + QLatin1Char(')'))
               .toLongLong() >= viertel;
}

KleinerCache::KleinerCache(DBConnection* db) : m_db(db) {
    m_vorher = GetDatenTyp(db, QStringLiteral("PRAGMA cache_size")).toString();
    if (!m_vorher.isEmpty()) ExecSQL(db, QStringLiteral("PRAGMA cache_size=-2048"));
}

KleinerCache::~KleinerCache() {
    if (!m_vorher.isEmpty()) ExecSQL(m_db, QStringLiteral("PRAGMA cache_size=") + m_vorher);
}

bool inSchluesselfolge(DBConnection* db, const QString& select, const std::function<void(const QVector<DatenTyp>&)>& je, bool* lesefehler) {
    *lesefehler = false;
    Faecher faecher;
    {
        KleinerCache cache(db);
        rsDataSource rs(db, select);
        QByteArray satz;
        for (; !rs.isEOF(); rs.fetch()) {
            const rsFields& f = *rs.getFields();
            const int n = f.count() - 1;
            satz.clear();
            FachSatz s(&satz);
            s.zahl(n);
            for (int i = 0; i < n; ++i) s.wert(f.getField(i));
            if (!faecher.ablegen(f.getField(n).toString().toUtf8(), satz)) return false;
        }
        if (rs.isError()) {
            *lesefehler = true;
            return false;
        }
    }
    QVector<DatenTyp> zeile;
    const bool ok = faecher.lesen([&](const QByteArray&, const QByteArray& satz) {
        FachSatzLeser s(satz);
        zeile.clear();
        for (qint64 i = s.zahl(); i > 0; --i) zeile.append(s.wert());
        je(zeile);
    });
    if (!ok) *lesefehler = true;
    return ok;
}

}  // namespace Tabellenfolge
