#pragma once
#include "page/questionbar.h"

// The bar above the pages that offers, without holding the window up, the pages a run
// that did not end normally left open.
class RestoreBar : public QuestionBar
{
    Q_OBJECT
public:
    explicit RestoreBar(QWidget *parent = nullptr);
    // Asks about count pages.
    void ask(int count);
    static QString question(int count);

signals:
    void answered(bool restore);
};
