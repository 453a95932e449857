#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>

// The fuzzer's bytes as the text a reader would get (invalid UTF-8 included).
inline QString fuzzText(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A property every input must keep; a broken one is a finding.
inline void require(bool holds)
{
    if (!holds)
        std::abort();
}
