#include "tabs/tabbook.h"

#include <QtTest>

// Tab bookkeeping: slots, positions and the active tab after every operation, written
// as "0 2* 1" (slots in tab order, the active one starred).
class TstTabBook : public QObject
{
    Q_OBJECT

    static TabBook withTabs(int n)
    {
        TabBook book;
        for (int i = 0; i < n; ++i)
            book.addLab();
        return book;
    }

private slots:
    void opensRightOfActive()
    {
        TabBook book = withTabs(5);
        QCOMPARE(book.describe(), QStringLiteral("0 1 2 3 4*"));
        book.activate(1);
        QCOMPARE(book.addLab(), 5);
        QCOMPARE(book.describe(), QStringLiteral("0 1 5* 2 3 4"));
        QCOMPARE(book.newSlot(), 5);
    }

    void backgroundKeepsOpenerActive()
    {
        TabBook book = withTabs(5);
        book.activate(1);
        book.addLab();
        book.keepPreviousActive();
        QCOMPARE(book.describe(), QStringLiteral("0 1* 5 2 3 4"));
    }

    void closingTheActiveFirstTabActivatesItsRightNeighbour()
    {
        TabBook book = withTabs(3);
        book.activate(0);
        book.setHoverPos(0);
        book.delLine(book.hoverPos()); // the tab now at position 0 takes over
        QCOMPARE(book.describe(), QStringLiteral("1* 2"));
        QCOMPARE(book.addLab(), 0); // the released slot comes back, right of the active tab
        QCOMPARE(book.describe(), QStringLiteral("1 0* 2"));
        book.keepPreviousActive();
        QCOMPARE(book.describe(), QStringLiteral("1* 0 2"));
    }

    void delLine_data()
    {
        QTest::addColumn<int>("tabs");
        QTest::addColumn<int>("active");
        QTest::addColumn<int>("hover");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("showActive");
        QTest::newRow("active in the middle: left neighbour") << 5 << 2 << 2 << "0 1* 3 4" << true;
        QTest::newRow("active at 0: right neighbour") << 3 << 0 << 0 << "1* 2" << true;
        QTest::newRow("left of active: active shifts") << 5 << 3 << 1 << "0 2 3* 4" << false;
        QTest::newRow("right of active: unchanged") << 5 << 1 << 3 << "0 1* 2 4" << false;
        QTest::newRow("last position active") << 4 << 3 << 3 << "0 1 2*" << true;
    }

    void delLine()
    {
        QFETCH(int, tabs);
        QFETCH(int, active);
        QFETCH(int, hover);
        QFETCH(QString, after);
        QFETCH(bool, showActive);
        TabBook book = withTabs(tabs);
        book.activate(book.slotAt(active));
        book.setHoverPos(hover);
        const int closedSlot = book.slotAt(hover);
        const TabBook::Change c = book.delLine(book.hoverPos());
        QCOMPARE(book.describe(), after);
        QCOMPARE(c.freed, QVector<int>{closedSlot});
        QCOMPARE(c.showActive, showActive);
        QCOMPARE(c.blankSlot, -1);
        QCOMPARE(book.freeSlots().last(), closedSlot);
    }

    void lastTabIsBlankedNotClosed()
    {
        TabBook book = withTabs(1);
        book.setHoverPos(0);
        const TabBook::Change c = book.delLine(book.hoverPos());
        QCOMPARE(c.blankSlot, 0);
        QVERIFY(c.freed.isEmpty());
        QCOMPARE(book.describe(), QStringLiteral("0*"));
    }

    void hoverOutsideTheStripDoesNothing()
    {
        TabBook book = withTabs(3);
        for (int hover : {-1, 3, 5000}) {
            book.setHoverPos(hover);
            QVERIFY(book.delLine(book.hoverPos()).freed.isEmpty());
            QVERIFY(book.closeRight(book.hoverPos()).freed.isEmpty());
            QVERIFY(book.closeLeft(book.hoverPos()).freed.isEmpty());
            QVERIFY(book.closeOthers(book.hoverPos()).freed.isEmpty());
            QCOMPARE(book.describe(), QStringLiteral("0 1 2*"));
        }
    }

    void releasedSlotsAreReusedNewestFirst()
    {
        TabBook book = withTabs(5);
        book.setHoverPos(1);
        book.delLine(book.hoverPos()); // slot 1
        book.setHoverPos(2);
        book.delLine(book.hoverPos()); // slot 3 (positions: 0 2 3 4)
        QCOMPARE(book.freeSlots(), (QVector<int>{1, 3}));
        QCOMPARE(book.addLab(), 3);
        QCOMPARE(book.addLab(), 1);
        QCOMPARE(book.addLab(), 5); // stack empty: lowest never-used slot
        QVERIFY(book.freeSlots().isEmpty());
    }

    void closeRight()
    {
        TabBook book = withTabs(5);
        book.activate(3);
        book.setHoverPos(1);
        TabBook::Change c = book.closeRight(book.hoverPos());
        QCOMPARE(c.freed, (QVector<int>{2, 3, 4}));
        QVERIFY(c.showActive);
        QCOMPARE(book.describe(), QStringLiteral("0 1*"));

        TabBook other = withTabs(5);
        other.activate(1);
        other.setHoverPos(3);
        c = other.closeRight(other.hoverPos());
        QCOMPARE(c.freed, QVector<int>{4});
        QVERIFY(!c.showActive);
        QCOMPARE(other.describe(), QStringLiteral("0 1* 2 3"));
    }

    void closeLeft()
    {
        TabBook book = withTabs(5);
        book.activate(0);
        book.setHoverPos(2);
        TabBook::Change c = book.closeLeft(book.hoverPos());
        QCOMPARE(c.freed, (QVector<int>{0, 1}));
        QVERIFY(c.showActive); // the hovered tab, now first, becomes active
        QCOMPARE(book.describe(), QStringLiteral("2* 3 4"));

        TabBook right = withTabs(5);
        right.setHoverPos(2); // active is 4
        c = right.closeLeft(right.hoverPos());
        QVERIFY(!c.showActive);
        QCOMPARE(right.describe(), QStringLiteral("2 3 4*"));

        TabBook first = withTabs(3);
        first.setHoverPos(0);
        QVERIFY(first.closeLeft(first.hoverPos()).freed.isEmpty());
        QCOMPARE(first.describe(), QStringLiteral("0 1 2*"));
    }

    void closeOthersKeepsOnlyTheHoveredTab()
    {
        TabBook book = withTabs(5);
        book.activate(4);
        book.setHoverPos(2);
        const TabBook::Change c = book.closeOthers(book.hoverPos());
        QCOMPARE(c.freed, (QVector<int>{0, 1, 3, 4}));
        QCOMPARE(book.describe(), QStringLiteral("2*"));
        QVERIFY(c.showActive);
    }

    void closeAllBlanksTheFirstTab()
    {
        TabBook book = withTabs(4);
        book.activate(2);
        const TabBook::Change c = book.closeAll();
        QCOMPARE(c.freed, (QVector<int>{1, 2, 3}));
        QCOMPARE(c.blankSlot, 0);
        QCOMPARE(book.describe(), QStringLiteral("0*"));
        QCOMPARE(book.freeSlots(), (QVector<int>{1, 2, 3}));
        QCOMPARE(book.addLab(), 3);
    }

    void refusesTabsBeyondTheTables()
    {
        TabBook book;
        for (int i = 0; i < TabBook::kCapacity; ++i)
            QCOMPARE(book.addLab(), i);
        QVERIFY(book.isFull());
        const QString before = book.describe();
        QCOMPARE(book.addLab(), -1);
        QCOMPARE(book.count(), TabBook::kCapacity);
        QCOMPARE(book.activePos(), TabBook::kCapacity - 1);
        QCOMPARE(book.describe(), before);
        // After a close there is room again, in the released slot.
        book.setHoverPos(10);
        book.delLine(book.hoverPos());
        QCOMPARE(book.addLab(), 10);
    }

    void positionsAndSlotsStayConsistent()
    {
        // A long mixed sequence keeps every slot either open or free, never both.
        TabBook book;
        for (int round = 0; round < 200; ++round) {
            book.addLab();
            if (round % 3 == 0) {
                book.setHoverPos(round % book.count());
                book.delLine(book.hoverPos());
            }
            if (round % 17 == 0) {
                book.setHoverPos(book.count() / 2);
                book.closeRight(book.hoverPos());
            }
            if (round % 29 == 0) {
                book.setHoverPos(book.count() / 2);
                book.closeLeft(book.hoverPos());
            }
            QSet<int> open;
            for (int p = 0; p < book.count(); ++p)
                open.insert(book.slotAt(p));
            QCOMPARE(open.size(), book.count());
            for (int s : book.freeSlots())
                QVERIFY2(!open.contains(s), "slot both open and free");
            QVERIFY(book.activePos() >= 0 && book.activePos() < book.count());
        }
    }
};

QTEST_APPLESS_MAIN(TstTabBook)
#include "tst_tabbook.moc"
