#include "page/formautoreshua.h"
#include "support/testenv.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <climits>

// The refresher's count-down, one Timer1 tick at a time: which ticks reload the page and
// what the label says.
class TstRefresher : public QObject
{
    Q_OBJECT

    // Runs ticks and returns, per tick, "R" for a reload and the label after it.
    static QStringList ticks(FormAutoREshua &dialog, int &reloads, int n)
    {
        QStringList out;
        for (int i = 0; i < n; ++i) {
            const int before = reloads;
            dialog.tick();
            out << (reloads > before ? QStringLiteral("R") : QString()) + dialog.Lab()->text();
        }
        return out;
    }

private slots:
    void intervalsCountFromTheLeadingNumber()
    {
        QCOMPARE(FormAutoREshua::leadingSeconds(QStringLiteral("300 秒")), 300);
        QCOMPARE(FormAutoREshua::leadingSeconds(QStringLiteral(" 7秒")), 7);
        QCOMPARE(FormAutoREshua::leadingSeconds(QStringLiteral("2.5 秒")), 2); // halves to even
        QCOMPARE(FormAutoREshua::leadingSeconds(QStringLiteral("3.5")), 4);
        QCOMPARE(FormAutoREshua::leadingSeconds(QStringLiteral("1e2")), 100);
        QCOMPARE(FormAutoREshua::leadingSeconds(QStringLiteral("abc")), 0);
        QCOMPARE(FormAutoREshua::leadingSeconds(QStringLiteral("秒 5")), 0);
        // Neither a negative count-down (it would never come back to 0) nor an overflow.
        QCOMPARE(FormAutoREshua::leadingSeconds(QStringLiteral("-3 秒")), 0);
        QCOMPARE(FormAutoREshua::leadingSeconds(QStringLiteral("99999999999999 秒")), INT_MAX);
    }

    void reloadsFollowTheCountDown()
    {
        int reloads = 0;
        FormAutoREshua dialog([&reloads] { ++reloads; });
        QCOMPARE(dialog.windowTitle(), QStringLiteral("网页自动刷屏器"));
        QCOMPARE(dialog.Comb()->currentText(), QStringLiteral("5 秒"));
        QCOMPARE(dialog.Comb()->count(), 10);
        QVERIFY(!dialog.Timer1()->isActive());

        dialog.Comb()->setCurrentText(QStringLiteral("1 秒"));
        dialog.Command1()->click();
        QCOMPARE(dialog.Command1()->text(), QStringLiteral("暂停(P)"));
        QVERIFY(dialog.Timer1()->isActive());
        QCOMPARE(dialog.Timer1()->interval(), 1000);
        // "1 秒" reloads every second tick, the first at once.
        QCOMPARE(ticks(dialog, reloads, 5), (QStringList{"R1", "0", "R1", "0", "R1"}));
        // A new interval counts from the next reload on.
        dialog.Comb()->setCurrentText(QStringLiteral("3 秒"));
        QCOMPARE(ticks(dialog, reloads, 6), (QStringList{"0", "R3", "2", "1", "0", "R3"}));
        // Pausing keeps the count; starting again reloads on the first tick.
        dialog.Command1()->click();
        QCOMPARE(dialog.Command1()->text(), QStringLiteral("开始(S)"));
        QVERIFY(!dialog.Timer1()->isActive());
        dialog.Command1()->click();
        QCOMPARE(ticks(dialog, reloads, 2), (QStringList{"R3", "2"}));
        // No number: a reload every tick, the label at 0.
        dialog.Comb()->setCurrentText(QStringLiteral("abc"));
        QCOMPARE(ticks(dialog, reloads, 6), (QStringList{"1", "0", "R0", "R0", "R0", "R0"}));
        QCOMPARE(reloads, 10);
    }
};

VELMO_TEST_MAIN(TstRefresher)
#include "tst_refresher.moc"
