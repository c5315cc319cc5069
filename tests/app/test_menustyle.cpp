// The owner-drawn menus: item sizes, colours with and without a scheme
// file, item pictures and the margin as drawn on screen.
#include "app/menustyle.h"
#include "appearance/colorscheme.h"
#include "common/testhome.h"
#include "toolkit/flatwidgets.h"

#include <QMenu>
#include <QStyleOptionMenuItem>
#include <QtTest>

namespace {

// A scheme whose roles all differ, so a wrong role shows.
TColorScheme DistinctScheme() {
    TColorScheme s{};
    for (int i = 0; i < SchemeRoleCount; ++i)
        s[i] = RGBColor(20 + i * 20, 200 - i * 15, 40 + i * 10);
    return s;
}

QColor Pixel(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

} // namespace

class TestMenuStyle : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void measuring_data();
    void measuring();
    void measuredInMenu();
    void itemColours();
    void marginColours();
    void imageIndex_data();
    void imageIndex();
    void imageOfMenuItems();
    void imageList();
    void renderedMargin();

private:
    std::unique_ptr<TTestHome> m_home;
};

void TestMenuStyle::init() {
    m_home = std::make_unique<TTestHome>();
    CurrentScheme() = TColorScheme{};
}

void TestMenuStyle::cleanup() {
    m_home.reset();
}

void TestMenuStyle::measuring_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSize>("growth");
    QTest::newRow("item") << int(QStyleOptionMenuItem::Normal) << "Play" << QSize(8, 2);
    QTest::newRow("long item") << int(QStyleOptionMenuItem::Normal) << "Visualizza nome traccia"
                               << QSize(8, 2);
    QTest::newRow("submenu") << int(QStyleOptionMenuItem::SubMenu) << "Tracce" << QSize(8, 2);
    QTest::newRow("separator not taller")
        << int(QStyleOptionMenuItem::Separator) << "" << QSize(8, 0);
}

void TestMenuStyle::measuring() {
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(QSize, growth);
    QMenu menu;
    QStyleOptionMenuItem opt;
    opt.initFrom(&menu);
    opt.menuItemType = QStyleOptionMenuItem::MenuItemType(type);
    opt.text = text;
    opt.fontMetrics = menu.fontMetrics();
    const QSize contents(opt.fontMetrics.horizontalAdvance(text), opt.fontMetrics.height());
    const QSize own =
        MenuStyle()->baseStyle()->sizeFromContents(QStyle::CT_MenuItem, &opt, contents, &menu);
    const QSize drawn = MenuStyle()->sizeFromContents(QStyle::CT_MenuItem, &opt, contents, &menu);
    QCOMPARE(drawn, own + growth);
}

void TestMenuStyle::measuredInMenu() {
    // The same items in a plain menu and in an owner-drawn one.
    auto fill = [](QMenu& m) {
        m.addAction(QStringLiteral("Play"));
        m.addSeparator();
        m.addAction(QStringLiteral("Aggiungi"));
    };
    QMenu plain;
    QMenu drawn;
    plain.setStyle(MenuStyle()->baseStyle());
    fill(plain);
    fill(drawn);
    MakeOwnerDrawn(&drawn);
    plain.adjustSize();
    drawn.adjustSize();
    const QList<QAction*> a = plain.actions();
    const QList<QAction*> b = drawn.actions();
    QCOMPARE(drawn.actionGeometry(b[0]).height(), plain.actionGeometry(a[0]).height() + 2);
    QCOMPARE(drawn.actionGeometry(b[1]).height(), plain.actionGeometry(a[1]).height());
    QCOMPARE(drawn.actionGeometry(b[2]).height(), plain.actionGeometry(a[2]).height() + 2);
    QCOMPARE(drawn.actionGeometry(b[0]).width(), plain.actionGeometry(a[0]).width() + 8);
    // Items start right of the margin.
    QCOMPARE(drawn.actionGeometry(b[0]).left(), 1 + MenuMarginWidth);
}

void TestMenuStyle::itemColours() {
    CurrentScheme() = DistinctScheme();
    const TMenuColors system{clBtnShadow, clBtnFace, clBtnHighlight, clBtnText};
    QCOMPARE(MenuItemColors(), system);

    m_home->write(QStringLiteral("CurrentColor.clr"), QByteArray("Face=0\n"));
    const TColorScheme& s = CurrentScheme();
    const TMenuColors scheme{s[srButtonBorder], s[srButtonFace], s[srButtonFocus], s[srTextFont]};
    QCOMPARE(MenuItemColors(), scheme);

    QVERIFY(QFile::remove(CurrentSchemePath()));
    QCOMPARE(MenuItemColors(), system);
}

void TestMenuStyle::marginColours() {
    // Always the scheme in force, file or not.
    CurrentScheme() = DistinctScheme();
    const TColorScheme& s = CurrentScheme();
    const TMenuMarginColors scheme{s[srButtonBorder], s[srFace], s[srButtonFace]};
    QCOMPARE(MenuMarginColors(), scheme);
    m_home->write(QStringLiteral("CurrentColor.clr"), QByteArray("Face=0\n"));
    QCOMPARE(MenuMarginColors(), scheme);
    // No scheme read yet: the default scheme's system colours, not black.
    CurrentScheme() = TColorScheme{};
    const TMenuMarginColors defaults{SchemeDefaults[srButtonBorder], SchemeDefaults[srFace],
                                     SchemeDefaults[srButtonFace]};
    QCOMPARE(MenuMarginColors(), defaults);
}

void TestMenuStyle::imageIndex_data() {
    QTest::addColumn<bool>("underPlaylist");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("image");
    QTest::newRow("play") << false << false << 0 << 0;
    QTest::newRow("exit") << false << false << 7 << 7;
    QTest::newRow("playlist item") << false << false << 13 << 13;
    QTest::newRow("current track") << false << false << 3 << 3;
    QTest::newRow("volume item") << false << false << -1 << -1;
    QTest::newRow("checked volume item") << false << true << -1 << 11;
    QTest::newRow("checked wins over tag") << false << true << 4 << 11;
    QTest::newRow("recent playlist") << true << false << -1 << 13;
    QTest::newRow("under playlist wins over checked") << true << true << 2 << 13;
    QTest::newRow("unknown tag") << false << false << 14 << -1;
}

void TestMenuStyle::imageIndex() {
    QFETCH(bool, underPlaylist);
    QFETCH(bool, checked);
    QFETCH(int, tag);
    QFETCH(int, image);
    QCOMPARE(MenuItemImageIndex(underPlaylist, checked, tag), image);
}

void TestMenuStyle::imageOfMenuItems() {
    QMenu menu;
    auto item = [&menu](const QString& caption, int tag) {
        auto* a = new TMenuItem(&menu);
        a->setCaption(caption);
        a->setTag(tag);
        menu.addAction(a);
        return a;
    };
    TMenuItem* stop = item(QStringLiteral("Stop"), MenuImageStop);
    TMenuItem* volume = item(QStringLiteral("Volume"), MenuImageVolume);
    TMenuItem* playlist = item(QStringLiteral("Playlist"), MenuImagePlaylist);
    QMenu volumes;
    volume->setMenu(&volumes);
    TMenuItem* eighty = new TMenuItem(&volumes);
    eighty->setTag(-1);
    eighty->setCheckable(true);
    volumes.addAction(eighty);
    QMenu recent;
    playlist->setMenu(&recent);
    QAction* file = recent.addAction(QStringLiteral("/music/list.lpl"));
    QAction* plain = menu.addAction(QStringLiteral("plain"));

    QCOMPARE(MenuItemImage(&menu, stop), int(MenuImageStop));
    QCOMPARE(MenuItemImage(&volumes, eighty), int(MenuImageNone));
    eighty->setChecked(true);
    QCOMPARE(MenuItemImage(&volumes, eighty), int(MenuImageRecorder));
    QCOMPARE(MenuItemImage(&recent, file), int(MenuImagePlaylist));
    QCOMPARE(MenuItemImage(&menu, plain), int(MenuImageNone));
}

void TestMenuStyle::imageList() {
    for (int i = 0; i < MenuImageCount; ++i) {
        const QPixmap image = MenuImage(i);
        QCOMPARE(image.size(), QSize(MenuImageSize, MenuImageSize));
        QVERIFY2(image.toImage() != QImage(12, 12, image.toImage().format()),
                 qPrintable(QString::number(i)));
    }
    QVERIFY(MenuImage(-1).isNull());
    QVERIFY(MenuImage(MenuImageCount).isNull());
}

void TestMenuStyle::renderedMargin() {
    m_home->write(QStringLiteral("CurrentColor.clr"), QByteArray("Face=0\n"));
    CurrentScheme() = DistinctScheme();
    const TColorScheme& s = CurrentScheme();
    QMenu menu;
    for (const char* caption :
         {"Tracce", "Playlist", "-", "Play", "Prev", "Next", "Pause", "Stop"}) {
        if (QByteArray(caption) == "-")
            menu.addSeparator();
        else
            menu.addAction(QString::fromLatin1(caption));
    }
    MakeOwnerDrawn(&menu);
    menu.popup(QPoint(40, 40));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    const QImage image = menu.grab().toImage();
    menu.hide();
    QCOMPARE(image.size(), menu.size());

    const QRect m = MenuMarginRect(menu.size(), 1);
    QCOMPARE(m.left(), 1);
    QCOMPARE(m.width(), MenuMarginWidth);
    const int x = m.left() + 5;
    // The fill shows around the gradient.
    QCOMPARE(Pixel(image, m.left(), m.center().y()), ToQColor(s[srButtonBorder]));
    QCOMPARE(Pixel(image, x, m.top()), ToQColor(s[srButtonBorder]));
    // Gradient: "ButtonFace" at the top, "Face" at the bottom, in between
    // something of both.
    QCOMPARE(Pixel(image, x, m.top() + 1), ToQColor(s[srButtonFace]));
    QCOMPARE(Pixel(image, m.right() - 5, m.top() + 1), ToQColor(s[srButtonFace]));
    QCOMPARE(Pixel(image, x, m.bottom() - 1), ToQColor(s[srFace]));
    const QColor middle = Pixel(image, x, m.center().y());
    QVERIFY(middle != ToQColor(s[srFace]) && middle != ToQColor(s[srButtonFace]));
    // The groove: shadow, then highlight.
    QCOMPARE(Pixel(image, m.right() - 2, m.center().y()), ToQColor(clBtnShadow));
    QCOMPARE(Pixel(image, m.right() - 1, m.center().y()), ToQColor(clBtnHighlight));
    // An item: the scheme's frame around its normal fill.
    const QRect play = menu.actionGeometry(menu.actions().at(3));
    QCOMPARE(Pixel(image, play.right() - 1, play.center().y()), ToQColor(s[srButtonBorder]));
    QCOMPARE(Pixel(image, play.right() - 2, play.center().y()), ToQColor(s[srButtonFace]));
}

QTEST_MAIN(TestMenuStyle)
#include "test_menustyle.moc"
