// The invoice inside a hybrid PDF. ZUGFeRD 1.0 attaches it as
// "ZUGFeRD-invoice.xml", ZUGFeRD 2.0 as "zugferd-invoice.xml", Factur-X 1.0
// and ZUGFeRD 2.1 and later as "factur-x.xml" (or "xrechnung.xml" for the
// XRECHNUNG profile); all of them as an embedded file of the document's
// name tree, Factur-X also named in the catalog's /AF. libqpdf reads the
// PDF's structure; the PDF is only read, never rewritten: the stored
// original stays the file received.
#include "kontbaum/eingang/eingang.h"

// qpdf 11 without its old PointerHolder: this file holds shared_ptr only.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>

#include <exception>
#include <map>
#include <memory>

namespace Eingang {

namespace {

// An XML invoice attached to a PDF is a few hundred kilobytes; a stream
// that decodes to more is not one (and must not fill the memory).
constexpr size_t kHoechstgroesse = 50u * 1024u * 1024u;

int rang(const QString& name) {
    static const char* const namen[] = {"factur-x.xml", "zugferd-invoice.xml", "xrechnung.xml"};
    for (int i = 0; i < 3; ++i)
        if (name.compare(QLatin1String(namen[i]), Qt::CaseInsensitive) == 0) return i;
    return name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) ? 10 : -1;
}

}  // namespace

bool xmlAusPdf(const QByteArray& pdf, QByteArray* xml, QString* fehler) {
    try {
        QPDF q;
        q.setSuppressWarnings(true);
        q.processMemoryFile("eingang.pdf", pdf.constData(), size_t(pdf.size()));
        QPDFEmbeddedFileDocumentHelper anhaenge(q);
        struct Kandidat {
            int rang;
            QString name;
            QPDFObjectHandle strom;
        };
        QList<Kandidat> kandidaten;
        auto nimm = [&](QPDFFileSpecObjectHelper& fs) {
            const QString name = QString::fromStdString(fs.getFilename());
            const int r = rang(name);
            QPDFObjectHandle s = fs.getEmbeddedFileStream();
            if (r >= 0 && s.isStream()) kandidaten << Kandidat{r, name, s};
        };
        for (auto& e : anhaenge.getEmbeddedFiles()) nimm(*e.second);
        // Factur-X names its file in /AF as well; a file only found there counts too.
        QPDFObjectHandle af = q.getRoot().getKey("/AF");
        if (af.isArray())
            for (int i = 0; i < af.getArrayNItems(); ++i) {
                QPDFObjectHandle eintrag = af.getArrayItem(i);
                if (!eintrag.isDictionary()) continue;
                QPDFFileSpecObjectHelper fs(eintrag);
                nimm(fs);
            }
        if (kandidaten.isEmpty()) {
            *fehler = QStringLiteral("Das PDF enthält keine eingebettete XML-Rechnung (factur-x.xml, zugferd-invoice.xml, "
                                     "ZUGFeRD-invoice.xml oder xrechnung.xml); es ist keine ZUGFeRD- oder Factur-X-Rechnung. "
                                     "Bitte fordern Sie die E-Rechnung beim Lieferanten an.");
            return false;
        }
        const Kandidat* best = &kandidaten.first();
        for (const Kandidat& k : kandidaten)
            if (k.rang < best->rang) best = &k;
        QPDFObjectHandle s = best->strom;
        QPDFObjectHandle laenge = s.getDict().getKey("/Length");
        if (laenge.isInteger() && size_t(laenge.getIntValue()) > kHoechstgroesse) {
            *fehler = QStringLiteral("Die eingebettete Datei %1 ist zu groß für eine Rechnung.").arg(best->name);
            return false;
        }
        std::shared_ptr<Buffer> b = s.getStreamData(qpdf_dl_generalized);
        if (!b || b->getSize() > kHoechstgroesse) {
            *fehler = QStringLiteral("Die eingebettete Datei %1 ist leer oder zu groß für eine Rechnung.").arg(best->name);
            return false;
        }
        *xml = QByteArray(reinterpret_cast<const char*>(b->getBuffer()), int(b->getSize()));
        return true;
    } catch (const std::exception& e) {
        *fehler = QStringLiteral("Das PDF kann nicht gelesen werden (%1).").arg(QString::fromLocal8Bit(e.what()));
        return false;
    }
}

}  // namespace Eingang
