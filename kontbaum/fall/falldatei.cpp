// Saving and loading case files (see falldatei.h).
#include "kontbaum/fall/falldatei.h"

#include "host/app/atomicfile.h"
#include "host/tree/archive.h"
#include "kontbaum/fall/kontbaum.h"

#include <QBuffer>
#include <QFile>

namespace {
const QByteArray kMagic("DALVO16C");
}

bool Falldatei::speichern(const QString& path, Kont_& root, QString* error) {
    QByteArray data;
    QBuffer buf(&data);
    buf.open(QIODevice::WriteOnly);
    RS_Archive ar(&buf, kMagic, KontRecord::kDatenversion);
    if (!KontRecord::write(root, ar) || !ar.ok()) {
        if (error) *error = QStringLiteral("Die Falldatei „%1“ konnte nicht geschrieben werden.").arg(path);
        return false;
    }
    buf.close();
    return rsWriteFileAtomic(path, data, error);
}

bool Falldatei::laden(const QString& path, Kont_& root, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("Die Falldatei „%1“ konnte nicht geöffnet werden.").arg(path);
        return false;
    }
    QByteArray data = f.readAll();
    f.close();
    QBuffer buf(&data);
    buf.open(QIODevice::ReadOnly);
    RS_Archive ar(&buf, kMagic, KontRecord::kDatenversion, true);
    QString err;
    if (!ar.isValid()) err = ar.errorText();
    else if (KontRecord::read(root, ar, &err)) {
        root.ioUpdate(ar.dataVersion());
        root.UpdateAfterLoading(0);
        return true;
    }
    if (error) *error = QStringLiteral("Die Falldatei „%1“ kann nicht geladen werden: %2").arg(path, err);
    return false;
}
