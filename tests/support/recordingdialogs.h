#pragma once
#include "platform/dialogs.h"

#include <functional>
#include <QPageLayout>
#include <QPrinter>
#include <QStringList>
#include <optional>

// Dialogs that record what they were asked and answer from a script.
class RecordingDialogs : public Dialogs
{
public:
    QString folderAnswer;
    QString textAnswer;
    QString saveAnswer;
    // What happens while the save dialog is up (the user taking their time).
    std::function<void()> whileSaving;
    bool questionAnswer = false;
    int chooseAnswer = -1;
    QString openAnswer;
    QStringList asked;

    QString folderStart;
    QString browseFolder(const QString &title, QWidget *owner, const QString &start) override
    {
        folderStart = start;
        asked << QStringLiteral("folder:") + title;
        if (realFolder)
            return QtDialogs().browseFolder(title, owner, start);
        return folderAnswer;
    }
    void warning(QWidget *, const QString &title, const QString &text) override
    {
        asked << QStringLiteral("warning:") + title + QLatin1Char('|') + text;
    }
    void information(QWidget *, const QString &title, const QString &text) override
    {
        asked << QStringLiteral("information:") + title + QLatin1Char('|') + text;
    }
    QString askText(QWidget *, const QString &title, const QString &prompt, const QString &suggested) override
    {
        asked << QStringLiteral("text:") + title + QLatin1Char('|') + prompt + QLatin1Char('|') + suggested;
        return textAnswer;
    }
    // The real file dialogs answer instead of the scripted answers (a test presses their
    // keys).
    bool realSave = false;
    bool realOpen = false;
    bool realFolder = false;
    QString saveFile(QWidget *owner, const QString &title, const QString &suggestedName, const QString &filter) override
    {
        // What the real dialog would show (checked against it in tst_filedialogs).
        asked << QStringLiteral("save:") + title + QLatin1Char('|') + shownName(suggestedName) + QLatin1Char('|') + filter;
        if (realSave)
            return QtDialogs().saveFile(owner, title, suggestedName, filter);
        if (whileSaving)
            whileSaving();
        return saveAnswer;
    }
    int choose(QWidget *, const QString &title, const QString &text, const QStringList &answers) override
    {
        asked << QStringLiteral("choose:") + title + QLatin1Char('|') + text + QLatin1Char('|') + answers.join(QLatin1Char('/'));
        return chooseAnswer;
    }
    bool question(QWidget *, const QString &title, const QString &text) override
    {
        asked << QStringLiteral("question:") + title + QLatin1Char('|') + text;
        return questionAnswer;
    }
    QString openFile(QWidget *owner, const QString &title, const QString &folder, const QString &filter) override
    {
        asked << QStringLiteral("open:") + title + QLatin1Char('|') + folder + QLatin1Char('|') + filter;
        if (realOpen)
            return QtDialogs().openFile(owner, title, folder, filter);
        return openAnswer;
    }
    // Printing goes to this PDF file ("": the user cancels); page setup takes this layout.
    QString printFile;
    QPageRanges printRanges;
    std::optional<QPageLayout> layoutAnswer;
    bool pageSetup(QWidget *, QPrinter *printer) override
    {
        asked << QStringLiteral("pagesetup");
        if (layoutAnswer)
            printer->setPageLayout(*layoutAnswer);
        return layoutAnswer.has_value();
    }
    bool choosePrinter(QWidget *, QPrinter *printer) override
    {
        asked << QStringLiteral("print");
        if (printFile.isEmpty())
            return false;
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(printFile);
        printer->setPageRanges(printRanges);
        return true;
    }
};
