// Files embedded in archives (see fileobject.h).
#include "host/tree/fileobject.h"

#include "host/app/atomicfile.h"
#include "host/tree/archive.h"

#include <QFile>
#include <QFileInfo>

namespace {
constexpr quint32 kTagDatei = 0x46494C45;  // "FILE"
}

bool RS_FileObject::ioData(RS_Archive& ar) {
    if (ar.isStoring()) {
        m_name = QFileInfo(m_path).fileName();
        m_data.clear();
        QFile f(m_path);
        if (f.exists()) {
            if (!f.open(QIODevice::ReadOnly)) return false;
            m_data = f.readAll();
        }
    }
    if (!ar.beginSection(kTagDatei)) return false;
    ar.io(m_name);
    ar.io(m_data);
    // Once written into the archive the bytes are not needed again; for the
    // database of a large case that is one copy less while the file is saved.
    if (ar.isStoring()) m_data = QByteArray();
    return ar.endSection();
}

bool RS_FileObject::extractTo(const QString& path, QString* error) const {
    return rsWriteFileAtomic(path, m_data, error);
}
