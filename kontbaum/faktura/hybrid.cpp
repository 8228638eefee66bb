// The hybrid invoice: the printed page and its XML in one PDF/A-3b file, as
// ZUGFeRD 2.x and Factur-X 1.0 exchange them.
//
// Qt's writer makes the page as PDF/A-1b (every font embedded as a subset
// with its CIDToGIDMap, no transparency, an sRGB output intent); libqpdf
// then turns that file into PDF/A-3b (ISO 19005-3):
//   - the XMP metadata names part 3, conformance B, carries the Factur-X
//     properties (document type, file name, version, conformance level)
//     and describes their namespace as a PDF/A extension schema, since
//     PDF/A admits no property it does not find described (6.6.2.3);
//   - the document information dictionary says the same as the XMP
//     (title, creator tool, producer, dates: 6.6.3);
//   - the output intent carries the sRGB profile of the system's ICC
//     package, compiled into the library;
//   - the XML goes in as embedded file stream with its MIME type and
//     modification date, named in the EmbeddedFiles name tree and in the
//     catalog's /AF by its /Filespec dictionary with /F, /UF and
//     /AFRelationship /Alternative (6.8, Factur-X 1.0 chapter 6);
//   - the file is written as PDF 1.7 with a trailer /ID, without
//     encryption, with an end-of-line before every endstream (6.1.7).
// Nothing is compressed that was not: the XML stays readable in the file
// and the metadata stream unfiltered, as PDF/A wants it.
#include "kontbaum/faktura/intern.h"

#include <QDateTime>
#include <QXmlStreamWriter>

// This code uses std::shared_ptr only, never qpdf's older PointerHolder.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>

// The bytes of the sRGB profile (IEC 61966-2.1), generated at build time.
extern const unsigned char kSrgbIcc[];
extern const unsigned long kSrgbIccLaenge;

namespace Faktura {

namespace {
const QString kFx = QStringLiteral("urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#");
const QString kRdf = QStringLiteral("http://www.w3.org/1999/02/22-rdf-syntax-ns#");

// One rdf:Description of the packet with its properties as elements.
void beschreibung(QXmlStreamWriter& w, const QString& ns, const QString& praefix, const QList<QPair<QString, QString>>& werte) {
    w.writeStartElement(kRdf, QStringLiteral("Description"));
    w.writeNamespace(ns, praefix);
    w.writeAttribute(kRdf, QStringLiteral("about"), QString());
    for (const auto& x : werte) w.writeTextElement(ns, x.first, x.second);
    w.writeEndElement();
}

QByteArray xmp(const QString& titel, const QString& werkzeug, const QString& hersteller, const QString& zeit, const QString& dateiname,
               const QString& stufe) {
    const QString dc = QStringLiteral("http://purl.org/dc/elements/1.1/");
    const QString ext = QStringLiteral("http://www.aiim.org/pdfa/ns/extension/");
    const QString schema = QStringLiteral("http://www.aiim.org/pdfa/ns/schema#");
    const QString prop = QStringLiteral("http://www.aiim.org/pdfa/ns/property#");
    QByteArray aus;
    QXmlStreamWriter w(&aus);
    w.setAutoFormatting(true);
    // The packet header's begin attribute is the byte order mark (XMP part 1, 7.3.2).
    w.writeProcessingInstruction(QStringLiteral("xpacket"),
                                 QStringLiteral("begin=\"") + QChar(0xFEFF) + QStringLiteral("\" id=\"W5M0MpCehiHzreSzNTczkc9d\""));
    // A namespace declared before its element's start goes onto that element.
    w.writeNamespace(QStringLiteral("adobe:ns:meta/"), QStringLiteral("x"));
    w.writeStartElement(QStringLiteral("adobe:ns:meta/"), QStringLiteral("xmpmeta"));
    w.writeNamespace(kRdf, QStringLiteral("rdf"));
    w.writeStartElement(kRdf, QStringLiteral("RDF"));
    beschreibung(w, QStringLiteral("http://www.aiim.org/pdfa/ns/id/"), QStringLiteral("pdfaid"),
                 {{QStringLiteral("part"), QStringLiteral("3")}, {QStringLiteral("conformance"), QStringLiteral("B")}});
    // dc:title is a language alternative.
    w.writeStartElement(kRdf, QStringLiteral("Description"));
    w.writeNamespace(dc, QStringLiteral("dc"));
    w.writeAttribute(kRdf, QStringLiteral("about"), QString());
    w.writeStartElement(dc, QStringLiteral("title"));
    w.writeStartElement(kRdf, QStringLiteral("Alt"));
    w.writeStartElement(kRdf, QStringLiteral("li"));
    w.writeAttribute(QStringLiteral("xml:lang"), QStringLiteral("x-default"));
    w.writeCharacters(titel);
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    beschreibung(w, QStringLiteral("http://ns.adobe.com/xap/1.0/"), QStringLiteral("xmp"),
                 {{QStringLiteral("CreatorTool"), werkzeug},
                  {QStringLiteral("CreateDate"), zeit},
                  {QStringLiteral("ModifyDate"), zeit},
                  {QStringLiteral("MetadataDate"), zeit}});
    beschreibung(w, QStringLiteral("http://ns.adobe.com/pdf/1.3/"), QStringLiteral("pdf"), {{QStringLiteral("Producer"), hersteller}});
    beschreibung(w, kFx, QStringLiteral("fx"),
                 {{QStringLiteral("DocumentType"), QStringLiteral("INVOICE")},
                  {QStringLiteral("DocumentFileName"), dateiname},
                  {QStringLiteral("Version"), QStringLiteral("1.0")},
                  {QStringLiteral("ConformanceLevel"), stufe}});
    // The extension schema that makes the fx properties valid PDF/A metadata.
    w.writeStartElement(kRdf, QStringLiteral("Description"));
    w.writeNamespace(ext, QStringLiteral("pdfaExtension"));
    w.writeNamespace(schema, QStringLiteral("pdfaSchema"));
    w.writeNamespace(prop, QStringLiteral("pdfaProperty"));
    w.writeAttribute(kRdf, QStringLiteral("about"), QString());
    w.writeStartElement(ext, QStringLiteral("schemas"));
    w.writeStartElement(kRdf, QStringLiteral("Bag"));
    w.writeStartElement(kRdf, QStringLiteral("li"));
    w.writeAttribute(kRdf, QStringLiteral("parseType"), QStringLiteral("Resource"));
    w.writeTextElement(schema, QStringLiteral("schema"), QStringLiteral("Factur-X PDFA Extension Schema"));
    w.writeTextElement(schema, QStringLiteral("namespaceURI"), kFx);
    w.writeTextElement(schema, QStringLiteral("prefix"), QStringLiteral("fx"));
    w.writeStartElement(schema, QStringLiteral("property"));
    w.writeStartElement(kRdf, QStringLiteral("Seq"));
    const QList<QPair<QString, QString>> eigenschaften = {
        {QStringLiteral("DocumentFileName"), QStringLiteral("The name of the embedded XML document")},
        {QStringLiteral("DocumentType"), QStringLiteral("The type of the hybrid document in capital letters, e.g. INVOICE or ORDER")},
        {QStringLiteral("Version"), QStringLiteral("The actual version of the standard applying to the embedded XML document")},
        {QStringLiteral("ConformanceLevel"), QStringLiteral("The conformance level of the embedded XML document")}};
    for (const auto& e : eigenschaften) {
        w.writeStartElement(kRdf, QStringLiteral("li"));
        w.writeAttribute(kRdf, QStringLiteral("parseType"), QStringLiteral("Resource"));
        w.writeTextElement(prop, QStringLiteral("name"), e.first);
        w.writeTextElement(prop, QStringLiteral("valueType"), QStringLiteral("Text"));
        w.writeTextElement(prop, QStringLiteral("category"), QStringLiteral("external"));
        w.writeTextElement(prop, QStringLiteral("description"), e.second);
        w.writeEndElement();
    }
    w.writeEndElement();  // Seq
    w.writeEndElement();  // property
    w.writeEndElement();  // li
    w.writeEndElement();  // Bag
    w.writeEndElement();  // schemas
    w.writeEndElement();  // Description
    w.writeEndElement();  // RDF
    w.writeEndElement();  // xmpmeta
    w.writeProcessingInstruction(QStringLiteral("xpacket"), QStringLiteral("end=\"w\""));
    return aus;
}

std::string s(const QString& t) { return t.toStdString(); }
QPDFObjectHandle name(const char* n) { return QPDFObjectHandle::newName(n); }
}  // namespace

bool hybridPdf(const QByteArray& seite, const QByteArray& xml, const HybridAngaben& a, QByteArray* pdf, QString* fehler) {
    auto nein = [&](const QString& t) {
        if (fehler) *fehler = QStringLiteral("Die E-Rechnung konnte nicht in das PDF/A-3 eingebettet werden: %1").arg(t);
        return false;
    };
    const QDateTime zeit = a.zeit.isValid() ? a.zeit.toUTC() : QDateTime::currentDateTimeUtc();
    const QString pdfZeit = QStringLiteral("D:") + zeit.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral("Z");
    const QString xmpZeit = zeit.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + QStringLiteral("Z");
    const QString werkzeug = QStringLiteral("dalvo");
    const QString hersteller = QStringLiteral("dalvo mit Qt %1 und qpdf").arg(QLatin1String(qVersion()));
    try {
        QPDF q;
        q.setSuppressWarnings(true);
        q.processMemoryFile("Rechnung", seite.constData(), size_t(seite.size()));
        if (q.isEncrypted()) return nein(QStringLiteral("das PDF der Seite ist verschlüsselt"));
        QPDFObjectHandle katalog = q.getRoot();

        QPDFObjectHandle meta = q.newStream(xmp(a.titel, werkzeug, hersteller, xmpZeit, a.dateiname, a.stufe).toStdString());
        meta.getDict().replaceKey("/Type", name("/Metadata"));
        meta.getDict().replaceKey("/Subtype", name("/XML"));
        katalog.replaceKey("/Metadata", meta);

        QPDFObjectHandle profil = q.newStream(std::string(reinterpret_cast<const char*>(kSrgbIcc), kSrgbIccLaenge));
        profil.getDict().replaceKey("/N", QPDFObjectHandle::newInteger(3));
        QPDFObjectHandle absicht = QPDFObjectHandle::newDictionary();
        absicht.replaceKey("/Type", name("/OutputIntent"));
        absicht.replaceKey("/S", name("/GTS_PDFA1"));
        absicht.replaceKey("/OutputConditionIdentifier", QPDFObjectHandle::newString("sRGB IEC61966-2.1"));
        absicht.replaceKey("/RegistryName", QPDFObjectHandle::newString("http://www.color.org"));
        absicht.replaceKey("/Info", QPDFObjectHandle::newString("sRGB IEC61966-2.1"));
        absicht.replaceKey("/DestOutputProfile", profil);
        katalog.replaceKey("/OutputIntents", QPDFObjectHandle::newArray({q.makeIndirectObject(absicht)}));

        QPDFObjectHandle datei = q.newStream(xml.toStdString());
        QPDFObjectHandle dd = datei.getDict();
        dd.replaceKey("/Type", name("/EmbeddedFile"));
        dd.replaceKey("/Subtype", QPDFObjectHandle::newName("/" + s(a.mimeTyp)));
        QPDFObjectHandle params = QPDFObjectHandle::newDictionary();
        params.replaceKey("/ModDate", QPDFObjectHandle::newString(s(pdfZeit)));
        params.replaceKey("/Size", QPDFObjectHandle::newInteger(xml.size()));
        dd.replaceKey("/Params", params);
        QPDFObjectHandle ef = QPDFObjectHandle::newDictionary();
        ef.replaceKey("/F", datei);
        ef.replaceKey("/UF", datei);
        QPDFObjectHandle eintrag = QPDFObjectHandle::newDictionary();
        eintrag.replaceKey("/Type", name("/Filespec"));
        eintrag.replaceKey("/F", QPDFObjectHandle::newString(s(a.dateiname)));
        eintrag.replaceKey("/UF", QPDFObjectHandle::newUnicodeString(s(a.dateiname)));
        eintrag.replaceKey("/Desc", QPDFObjectHandle::newUnicodeString(s(a.beschreibung)));
        eintrag.replaceKey("/AFRelationship", name("/Alternative"));
        eintrag.replaceKey("/EF", ef);
        eintrag = q.makeIndirectObject(eintrag);
        QPDFObjectHandle baum = QPDFObjectHandle::newDictionary();
        baum.replaceKey("/Names", QPDFObjectHandle::newArray({QPDFObjectHandle::newString(s(a.dateiname)), eintrag}));
        QPDFObjectHandle namen = katalog.getKey("/Names");
        if (!namen.isDictionary()) namen = QPDFObjectHandle::newDictionary();
        namen.replaceKey("/EmbeddedFiles", q.makeIndirectObject(baum));
        katalog.replaceKey("/Names", namen);
        katalog.replaceKey("/AF", QPDFObjectHandle::newArray({eintrag}));
        katalog.removeKey("/Version");

        // The information dictionary says what the XMP says.
        QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
        info.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(s(a.titel)));
        info.replaceKey("/Creator", QPDFObjectHandle::newUnicodeString(s(werkzeug)));
        info.replaceKey("/Producer", QPDFObjectHandle::newUnicodeString(s(hersteller)));
        info.replaceKey("/CreationDate", QPDFObjectHandle::newString(s(pdfZeit)));
        info.replaceKey("/ModDate", QPDFObjectHandle::newString(s(pdfZeit)));
        q.getTrailer().replaceKey("/Info", q.makeIndirectObject(info));

        QPDFWriter w(q);
        w.setOutputMemory();
        w.forcePDFVersion("1.7");
        w.setObjectStreamMode(qpdf_o_disable);
        w.setCompressStreams(false);
        w.setDecodeLevel(qpdf_dl_none);
        w.setNewlineBeforeEndstream(true);
        w.setDeterministicID(true);
        w.write();
        const std::shared_ptr<Buffer> b = w.getBufferSharedPointer();
        *pdf = QByteArray(reinterpret_cast<const char*>(b->getBuffer()), int(b->getSize()));
    } catch (const std::exception& e) {
        return nein(QString::fromStdString(e.what()));
    }
    return true;
}

}  // namespace Faktura
