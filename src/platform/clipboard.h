#pragma once
#include <QClipboard>
#include <QGuiApplication>
#include <QString>

// Replaces what the clipboard holds with text, and nothing else (no older formats stay).
inline void putOnClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}
