// The compartments of a bucket sort (see faecher.h).
#include "kontbaum/buchungen/faecher.h"

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
            if (m_schluessel.size() >= m_hoechstens) return !(m_fehler = true);
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
        if (!m_datei->open()) return !(m_fehler = true);
    }
    for (Fach& f : m_faecher) {
        if (f.puffer.isEmpty()) continue;
        const qint64 ort = m_datei->pos();
        if (m_datei->write(f.puffer) != f.puffer.size()) return !(m_fehler = true);
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
