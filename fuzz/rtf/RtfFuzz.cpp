// libFuzzer target for the RTF reader: any bytes must load and lay out without a crash, a hang
// or unbounded memory. Built and run by scripts/fuzz-rtf.
#include "RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "rtf-fuzz";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv); // fonts and image readers need it
    return 0;
}

namespace {

void load(const QByteArray &data) {
    QTextDocument doc;
    LoadRtf(data, &doc);
    doc.setTextWidth(600);
    doc.documentLayout()->documentSize();
    (void)doc.toPlainText();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    load(bytes);
    // Most mutations break the "{\rtf" signature; read them as a document body as well.
    if (!LooksLikeRtf(bytes)) load(QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg936 ") + bytes);
    // Let Qt's font cache run its clean-up timer, as the program's event loop would.
    QCoreApplication::processEvents();
    return 0;
}
