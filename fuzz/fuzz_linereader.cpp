// The streaming line reader agrees with reading the whole text at once.
#include "fuzzinput.h"
#include "userdata/gbktext.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QStringList streamed;
    GbkText::forEachLine(buffer, [&streamed](const QString &line) {
        streamed << line;
        return true;
    });
    const QStringList whole = GbkText::lines(GbkText::decode(bytes));
    require(streamed == whole);
    return 0;
}
